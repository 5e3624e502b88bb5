#include "devices/configreg.h"

#include <initializer_list>

namespace {

const char* const OnOff = "On,Off";
const char* const DisEn = "Disabled,Enabled";
const char* const EnDis = "Enabled,Disabled";
const char* const IntExt = "Internal,External";
const char* const FourOsc = "LP,XT,HS,RC";
const char* const PicRcOsc = R"(LP,XT,HS,"EC I/O","INTRC I/O","INTRC CLKOUT","ER I/O","ER CLKOUT")";

struct TBitField {
  const char* Name;
  std::uint8_t ByteIndex;
  std::uint8_t Bit;
};

// A layout of one-bit fields with the two choices "False", "True".
TConfig Bits(const char* title, std::int32_t address, std::initializer_list<TBitField> bits) {
  TConfig c;
  c.Title = title;
  for (const TBitField& b : bits) {
    TConfigItems item;
    item.Name = b.Name;
    item.Address = address;
    item.ByteIndex = b.ByteIndex;
    item.Bit = b.Bit;
    c.Items.push_back(item);
  }
  c.Count = static_cast<int>(c.Items.size());
  return c;
}

TConfigItems Item(const char* name, std::uint8_t byteIndex, std::uint8_t bit, std::int32_t address,
                  const char* choices = "", std::uint8_t mask = 0, std::uint16_t kind = 0) {
  TConfigItems item;
  item.Name = name;
  item.Choices = choices;
  item.Address = address;
  item.Bit = bit;
  item.ByteIndex = byteIndex;
  item.Mask = mask;
  item.Kind = kind;
  return item;
}

TConfig Fields(const char* title, std::initializer_list<TConfigItems> items) {
  TConfig c;
  c.Title = title;
  c.Items = items;
  c.Count = static_cast<int>(c.Items.size());
  return c;
}

// HC05/HC11 CONFIG registers share their low bits.
TConfig Hc05Config(std::int32_t address, std::initializer_list<TBitField> upper) {
  TConfig c = Bits("Config Register", address,
                   {{"EEON", 0, 0}, {"ROMON", 0, 1}, {"NOCOP", 0, 2}, {"NOSEC", 0, 3}});
  for (const TBitField& b : upper)
    c.Items.push_back(Item(b.Name, b.ByteIndex, b.Bit, address));
  c.Count = static_cast<int>(c.Items.size());
  return c;
}

// The mid-range PIC words whose code protection has two copies (kind 2).
TConfig PicCodeProtectPairs(const char* codeProtectChoices) {
  return Fields(
      "Configuration Bits",
      {Item("Oscilator", 0, 0, 0x400E, FourOsc, 0x3), Item("Watchdog Timer", 0, 2, 0x400E, DisEn),
       Item("Power Up Timer", 0, 3, 0x400E, EnDis), Item("Brown Out Detect", 0, 6, 0x400E, DisEn),
       Item("Low Voltage Program", 0, 7, 0x400E, DisEn),
       Item("Data EE Read Protect", 1, 0, 0x400F, OnOff),
       Item("Flash Program Write", 1, 1, 0x400F, DisEn),
       Item("Code Protect", 0, 4, 0x400E, codeProtectChoices, 0x3, 2)});
}

TConfig PicRcOscillator(TConfigItems codeProtect) {
  return Fields("Configuration Bits",
                {Item("Oscilator", 0, 0, 0x400E, PicRcOsc, 0x13, 5),
                 Item("Watchdog Timer", 0, 2, 0x400E, DisEn),
                 Item("Power Up Timer", 0, 3, 0x400E, EnDis),
                 Item("Master Clear Enable", 0, 5, 0x400E, IntExt),
                 Item("Brown Out Detect", 0, 6, 0x400E, DisEn),
                 Item("Low Voltage Program", 0, 7, 0x400E, DisEn),
                 Item("Data EE Read Protect", 1, 0, 0x400F, OnOff), codeProtect});
}

TConfig PicFlashWrite(const char* flashWriteChoices) {
  return Fields(
      "Configuration Bits",
      {Item("Oscilator", 0, 0, 0x400E, FourOsc, 0x3), Item("Watchdog Timer", 0, 2, 0x400E, DisEn),
       Item("Power Up Timer", 0, 3, 0x400E, EnDis), Item("Brown Out Detect", 0, 6, 0x400E, DisEn),
       Item("Low Voltage Program", 0, 7, 0x400E, DisEn),
       Item("Data EE Read Protect", 1, 0, 0x400F, OnOff),
       Item("Flash Program Write", 1, 1, 0x400F, flashWriteChoices, 0x3),
       Item("Code Protect", 1, 5, 0x400F, OnOff)});
}

// AVR fuse layouts: the low byte of the mega parts, then the high byte.
std::initializer_list<TBitField> MegaLow() {
  static const std::initializer_list<TBitField> bits = {
      {"CKSEL0", 0, 0}, {"CKSEL1", 0, 1}, {"CKSEL2", 0, 2}, {"CKSEL3", 0, 3},
      {"SUT0", 0, 4},   {"SUT1", 0, 5},   {"BODEN", 0, 6},  {"BODLEVEL", 0, 7}};
  return bits;
}

TConfig MegaFuses(std::initializer_list<TBitField> high) {
  TConfig c = Bits("Fuse Bits", 0, MegaLow());
  for (const TBitField& b : high)
    c.Items.push_back(Item(b.Name, b.ByteIndex, b.Bit, 0));
  c.Count = static_cast<int>(c.Items.size());
  return c;
}

std::vector<TConfig> BuildLayouts() {
  std::vector<TConfig> l;
  // 1
  l.push_back(Hc05Config(0x103F, {}));
  // 2
  l.push_back(Hc05Config(0x3F, {{"PAREN", 0, 4}, {"CLKX", 0, 5}, {"ROMAD", 0, 7}}));
  // 3
  l.push_back(
      Hc05Config(0x3F, {{"PAREN", 0, 4}, {"CLKX", 0, 5}, {"NWCOP", 0, 6}, {"ROMAD", 0, 7}}));
  // 4
  l.push_back(Bits("Config Register", 0x103F,
                   {{"EEON", 0, 0},
                    {"NOCOP", 0, 2},
                    {"EE0", 0, 4},
                    {"EE1", 0, 5},
                    {"EE2", 0, 6},
                    {"EE3", 0, 7}}));
  // 5
  l.push_back(
      Hc05Config(0x3F, {{"PAREN", 0, 4}, {"CLK4X", 0, 5}, {"FREEZ", 0, 6}, {"ROMAD", 0, 7}}));
  // 6
  l.push_back(
      Hc05Config(0x3F, {{"PAREN", 0, 4}, {"CLK4X", 0, 5}, {"MBSP", 0, 6}, {"ROMAD", 0, 7}}));
  // 7
  l.push_back(Hc05Config(0x3F, {{"PAREN", 0, 4}, {"ROMAD", 0, 7}}));
  // 8
  l.push_back(
      Hc05Config(0x3FE, {{"PAREN", 0, 4}, {"xxx0", 0, 5}, {"xxx1", 0, 6}, {"ROMAD", 0, 7}}));
  // 9
  l.push_back(Bits("Lock Bits", 0, {{"LB1", 0, 1}, {"LB2", 0, 2}}));
  // 10
  l.push_back(Bits("Lock Bits", 0, {{"LB1", 0, 7}, {"LB2", 0, 6}, {"LB3", 0, 5}}));
  // 11
  l.push_back(Bits("Lock Bits", 0,
                   {{"LB1", 0, 0},
                    {"LB2", 0, 1},
                    {"BLB01", 0, 2},
                    {"BLB02", 0, 3},
                    {"BLB11", 0, 4},
                    {"BLB12", 0, 5}}));
  // 12
  l.push_back(Bits("Fuse Bits", 0, {{"FSTRT", 0, 0}}));
  // 13
  l.push_back(Bits(
      "Fuse Bits", 0,
      {{"CKSEL0", 0, 0}, {"CKSEL1", 0, 1}, {"CKSEL2", 0, 2}, {"BODEN", 0, 3}, {"BODLEVEL", 0, 4}}));
  // 14
  l.push_back(Bits("Fuse Bits", 0, {{"RCEN", 0, 0}}));
  // 15
  l.push_back(Bits(
      "Fuse Bits", 0,
      {{"CKSEL0", 0, 0}, {"CKSEL1", 0, 1}, {"CKSEL2", 0, 2}, {"BODEN", 0, 3}, {"BODLEVEL", 0, 4}}));
  // 16
  l.push_back(Bits("Fuse Bits", 0, {{"FSTRT", 0, 0}}));
  // 17
  l.push_back(Bits("Fuse Bits", 0, {{"FSTRT", 0, 0}}));
  // 18
  l.push_back(Bits("Fuse Bits", 0,
                   {{"CKSEL0", 0, 0},
                    {"CKSEL1", 0, 1},
                    {"CKSEL2", 0, 2},
                    {"CKSEL3", 0, 3},
                    {"RSTDISBL", 0, 4},
                    {"SPIEN", 0, 5},
                    {"BODEN", 0, 6},
                    {"BODLEVEL", 0, 7}}));
  // 19
  l.push_back(Bits("Fuse Bits", 0,
                   {{"CKSEL0", 0, 0},
                    {"CKSEL1", 0, 1},
                    {"RSTDISBL", 0, 4},
                    {"SPIEN", 0, 5},
                    {"BODEN", 0, 6},
                    {"BODLEVEL", 0, 7}}));
  // 20
  l.push_back(MegaFuses({{"BOOTRST", 1, 0},
                         {"BOOTSZ0", 1, 1},
                         {"BOOTSZ1", 1, 2},
                         {"EESAVE", 1, 3},
                         {"CKOPT", 1, 4},
                         {"SPIEN", 1, 5},
                         {"WDTON", 1, 6},
                         {"RSTDISBL", 1, 7}}));
  // 21
  l.push_back(MegaFuses({{"BOOTRST", 1, 0},
                         {"BOOTSZ0", 1, 1},
                         {"BOOTSZ1", 1, 2},
                         {"EESAVE", 1, 3},
                         {"CKOPT", 1, 4},
                         {"SPIEN", 1, 5},
                         {"JTAGEN", 1, 6},
                         {"OCDEN", 1, 7}}));
  // 22
  l.push_back(Bits("Fuse Bits", 0, {{"SUT0", 0, 0}, {"SUT1", 0, 1}, {"EESAVE", 0, 3}}));
  // 23
  l.push_back(MegaFuses({{"BOOTRST", 1, 0},
                         {"BOOTSZ0", 1, 1},
                         {"BOOTSZ1", 1, 2},
                         {"EESAVE", 1, 3},
                         {"CKOPT", 1, 4},
                         {"SPIEN", 1, 5},
                         {"JTAGEN", 1, 6},
                         {"OCDEN", 1, 7},
                         {"WDTON", 2, 0},
                         {"M103C", 2, 1}}));
  // 24
  l.push_back(Bits("Fuse Bits", 0,
                   {{"CKSEL0", 0, 0},
                    {"CKSEL1", 0, 1},
                    {"CKSEL2", 0, 2},
                    {"BODEN", 0, 3},
                    {"BODLEVEL", 0, 4},
                    {"SPIEN", 0, 5},
                    {"BOOTRST", 0, 6}}));
  // 25
  l.push_back(Bits("Fuse Bits", 0,
                   {{"CKSEL0", 0, 0},
                    {"CKSEL1", 0, 1},
                    {"CKSEL2", 0, 2},
                    {"CKSEL3", 0, 3},
                    {"BODEN", 0, 6},
                    {"BODLEVEL", 0, 7},
                    {"BOOTRST", 1, 0},
                    {"BOOTSZ0", 1, 1},
                    {"BOOTSZ1", 1, 2}}));
  // 26
  l.push_back(Bits("Fuse Bits", 0,
                   {{"CKSEL0", 0, 0},
                    {"CKSEL1", 0, 1},
                    {"CKSEL2", 0, 2},
                    {"CKSEL3", 0, 3},
                    {"BODEN", 0, 6},
                    {"BODLEVEL", 0, 7},
                    {"BOOTRST", 1, 0},
                    {"BOOTSZ0", 1, 1},
                    {"BOOTSZ1", 1, 2},
                    {"EESAVE", 1, 3},
                    {"JTAGEN", 1, 6},
                    {"OCDEN", 1, 7}}));
  // 27
  l.push_back(Bits("Lock Bits", 0, {{"LB1", 0, 0}, {"LB2", 0, 1}, {"LB3", 0, 2}}));
  // 28
  l.push_back(
      Bits("User Fuses", 0, {{"FUSE1", 0, 0}, {"FUSE2", 0, 1}, {"FUSE3", 0, 2}, {"FUSE4", 0, 3}}));
  // 29
  l.push_back(Bits("Lock Bits", 0, {{"LB1", 0, 2}, {"LB2", 0, 3}, {"LB3", 0, 4}}));
  // 30
  l.push_back(Fields(
      "Configuration Bits",
      {Item(
           "Oscilator", 0, 0, 0x300001,
           R"(LP,XT,HS,RC,"EC-OSC2 as Clock Out","EC-OSC2 as RA6","HS-PLL Enabled","RC-OSC2 as RA6")",
           0x7),
       Item("Osc Switch Enable", 0, 5, 0x300001),
       Item("Power Up Timer", 0, 0, 0x300002, EnDis),
       Item("Brown Out Detect", 0, 1, 0x300002, DisEn),
       Item("Brown Out Voltage", 0, 2, 0x300002, "4.5V,4.2V,2.7V,2.0V", 0x3),
       Item("Watchdog Timer", 0, 0, 0x300003, DisEn),
       Item("Watchdog Postscaler", 0, 1, 0x300003, "1:1,1:2,1:4,1:8,1:16,1:32,1:64,1:128", 0x7),
       Item("CCP2 Mux", 0, 0, 0x300005, "RB3,RC1"),
       Item("Low Voltage Program", 0, 2, 0x300006, DisEn),
       Item("Background Debug", 0, 7, 0x300006),
       Item("Stack Overflow Reset", 0, 0, 0x300006, DisEn),
       Item("Code Protect 00200-01FFF", 0, 0, 0x300008),
       Item("Code Protect 02000-03FFF", 0, 2, 0x300008),
       Item("Code Protect 04000-05FFF", 0, 3, 0x300008),
       Item("Code Protect 06000-07FFF", 0, 4, 0x300008),
       Item("Data EE Read Protect", 0, 7, 0x300009, OnOff),
       Item("Code Boot Protect", 0, 6, 0x300009),
       Item("Table Write Protect 00200-01FFF", 0, 0, 0x30000A),
       Item("Table Write Protect 02000-03FFF", 0, 1, 0x30000A),
       Item("Table Write Protect 04000-05FFF", 0, 2, 0x30000A),
       Item("Table Write Protect 06000-07FFF", 0, 3, 0x30000A),
       Item("Data EE Write Protect", 0, 7, 0x30000B),
       Item("Table Write Protect Boot", 0, 6, 0x30000B),
       Item("Config Write Protect", 0, 5, 0x30000B),
       Item("Table Read Protect 00200-01FFF", 0, 0, 0x30000C),
       Item("Table Read Protect 02000-03FFF", 0, 1, 0x30000C),
       Item("Table Read Protect 04000-05FFF", 0, 2, 0x30000C),
       Item("Table Read Protect 06000-07FFF", 0, 3, 0x30000C),
       Item("Table Read Protect Boot", 0, 6, 0x30000D)}));
  // 31
  l.push_back(Fields(
      "Configuration Bits",
      {Item("Oscilator", 0, 0, 0x400E,
            R"(LP,XT,HS,"EXTCLK-RA6 is Port I/O","INTRC-RA6 is Port I/O","INTRC-RA6 is CLKOUT",)"
            R"("EXTRC-RA6 is Port I/O","EXTRC-RA6 is CLKOUT")",
            0x3, 1),
       Item("Watchdog Timer", 0, 2, 0x400E, DisEn), Item("Power Up Timer", 0, 3, 0x400E, EnDis),
       Item("MCLR Select Bit", 0, 5, 0x400E,
            R"("RA5 as digital I/O, MCLR tied to VDD","RA5 as MCLR")"),
       Item("Brown Out Detect", 0, 6, 0x400E, DisEn),
       Item("Low Voltage Program", 0, 7, 0x400E, DisEn),
       Item("Data EE Read Protect", 1, 0, 0x400F, OnOff),
       Item("Flash Program Write", 1, 1, 0x400F,
            R"("0000h-05FFh Write Protected","0000h-03FFh Write Protected",)"
            R"("0000h-01FFh Write Protected","Write Protection Disable")",
            0x3),
       Item("Background Debug", 1, 3, 0x400F),
       Item("CCP Select", 1, 4, 0x400F, R"("CCP Function on RB3","CCP Function on RB2")"),
       Item("Code Protection", 1, 5, 0x400F, OnOff)}));
  // 32
  l.push_back(PicCodeProtectPairs("All,1000h-1FFFh,1F00h-1FFFh,Off"));
  // 33
  l.push_back(PicCodeProtectPairs("All,0800h-0FFFh,0F00h-0FFFh,Off"));
  // 34
  l.push_back(PicCodeProtectPairs(R"(All,"Not Supported","Not Supported",Off)"));
  // 35
  l.push_back(Fields("Configuration Bits", {Item("Oscilator", 0, 0, 0x400E, FourOsc, 0x3),
                                            Item("Watchdog Timer", 0, 2, 0x400E, DisEn),
                                            Item("Power Up Timer", 0, 3, 0x400E, EnDis),
                                            Item("Code Protect", 0, 4, 0x400E, OnOff),
                                            Item("Brown Out Detect", 0, 6, 0x400E, DisEn)}));
  // 36
  l.push_back(Fields("Configuration Bits", {Item("Oscilator", 0, 0, 0x400E, FourOsc, 0x3),
                                            Item("Watchdog Timer", 0, 2, 0x400E, DisEn),
                                            Item("Power Up Timer", 0, 3, 0x400E, EnDis),
                                            Item("Code Protect", 0, 4, 0x400E, OnOff, 0, 3)}));
  // 37
  l.push_back(Fields(
      "Configuration Bits",
      {Item("Oscilator", 0, 0, 0x400E,
            R"(LP,XT,HS,EC,"Internal RC No Clock","Internal RC Clockout",)"
            R"("External RC No Clock","External RC Clockout")",
            0x7),
       Item("Watchdog Timer", 0, 3, 0x400E, DisEn), Item("Power Up Timer", 0, 4, 0x400E, EnDis),
       Item("Master Clear Enable", 0, 5, 0x400E, IntExt),
       Item("Brown Out Detect", 0, 6, 0x400E, DisEn), Item("Code Protect", 0, 7, 0x400E, OnOff),
       Item("Data EE Read Protect", 1, 0, 0x400F, OnOff)}));
  // 38
  l.push_back(PicRcOscillator(
      Item("Code Protect", 1, 2, 0x400E, "All,0200h-07FFh,0400h-07FFh,Off", 0x3, 4)));
  // 39
  l.push_back(PicRcOscillator(Item("Code Protect", 1, 5, 0x400F, OnOff)));
  // 40
  l.push_back(
      Fields("Configuration Bits",
             {Item("Oscilator", 0, 0, 0x7FE, "LP,XT,INTOSC,EXTRC", 0x3),
              Item("Watchdog Timer", 0, 2, 0x7FE, DisEn), Item("Code Protect", 0, 3, 0x7FE, OnOff),
              Item("Master Clear Enable", 0, 4, 0x7FE, IntExt)}));
  // 41
  l.push_back(PicFlashWrite("0000-07FFh,0000h-03FFh,0000h-00FFh,Off"));
  // 42
  l.push_back(PicFlashWrite("0000-0FFFh,0000h-07FFh,0000h-00FFh,Off"));
  // 43
  l.push_back(
      Bits("Fuse Bits", 0,
           {{"CKSEL0", 0, 0},    {"CKSEL1", 0, 1},    {"CKSEL2", 0, 2},    {"CKSEL3", 0, 3},
            {"SUT0", 0, 4},      {"SUT1", 0, 5},      {"CKOUT", 0, 6},     {"CKDIV8", 0, 7},
            {"BOOTRST", 1, 0},   {"BOOTSZ0", 1, 1},   {"BOOTSZ1", 1, 2},   {"EESAVE", 1, 3},
            {"WDTON", 1, 4},     {"SPIEN", 1, 5},     {"JTAGEN", 1, 6},    {"OCDEN", 1, 7},
            {"BODLEVEL0", 2, 1}, {"BODLEVEL1", 2, 2}, {"BODLEVEL2", 2, 3}, {"M161C", 2, 4}}));
  // 44
  l.push_back(Bits("Fuse Bits", 0,
                   {{"CKSEL0", 0, 0},
                    {"CKSEL1", 0, 1},
                    {"CKSEL2", 0, 2},
                    {"CKSEL3", 0, 3},
                    {"SUT0", 0, 4},
                    {"SUT1", 0, 5},
                    {"CKOUT", 0, 6},
                    {"CKDIV8", 0, 7},
                    {"RSTDISBL", 1, 0},
                    {"BODLEVEL0", 1, 1},
                    {"BODLEVEL1", 1, 2},
                    {"BODLEVEL2", 1, 3},
                    {"WDTON", 1, 4},
                    {"SPIEN", 1, 5},
                    {"EESAVE", 1, 6},
                    {"DWEN", 1, 7},
                    {"SELFPRGEN", 2, 0}}));
  // 45
  l.push_back(Bits("Lock Bits", 0, {{"LB1", 0, 0}, {"LB2", 0, 1}}));
  // 46
  l.push_back(MegaFuses({{"BOOTRST", 1, 0},
                         {"BOOTSZ0", 1, 1},
                         {"BOOTSZ1", 1, 2},
                         {"EESAVE", 1, 3},
                         {"CKOPT", 1, 4},
                         {"SPIEN", 1, 5},
                         {"WDTON", 1, 6},
                         {"S8535C", 1, 7}}));
  // 47
  l.push_back(MegaFuses({{"BOOTRST", 1, 0},
                         {"BOOTSZ0", 1, 1},
                         {"BOOTSZ1", 1, 2},
                         {"EESAVE", 1, 3},
                         {"CKOPT", 1, 4},
                         {"SPIEN", 1, 5},
                         {"WDTON", 1, 6},
                         {"S8515C", 1, 7}}));
  return l;
}

int EffectiveMask(const TConfigItems& item) {
  return item.Mask == 0 ? 1 : item.Mask;
}

// (image >> position) and mask, the image being one 128-bit little-endian number.
int BitsAt(const TConfigImage& image, int position, int mask) {
  int value = 0;
  for (int i = 0; i < 8; ++i) {
    int p = position + i;
    if (!(mask & (1 << i)) || p >= 128) continue;
    if (image[static_cast<std::size_t>(p / 8)] & (1 << (p % 8))) value |= 1 << i;
  }
  return value;
}

// Clears the mask's bits at position and puts value there; the rest stays.
void PutBitsAt(TConfigImage& image, int position, int mask, int value) {
  for (int i = 0; i < 8; ++i) {
    int p = position + i;
    if (!(mask & (1 << i)) || p >= 128) continue;
    auto& byte = image[static_cast<std::size_t>(p / 8)];
    const auto bit = static_cast<std::uint8_t>(1 << (p % 8));
    byte = static_cast<std::uint8_t>((value & (1 << i)) ? (byte | bit) : (byte & ~bit));
  }
}

std::uint8_t Byte(int value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}

} // namespace

std::string TConfigRow::Value() const {
  if (Index < 0 || Index >= static_cast<int>(Choices.size())) return {};
  return Choices[static_cast<std::size_t>(Index)];
}

std::vector<std::string> SplitCommaText(const std::string& text) {
  std::vector<std::string> items;
  auto blank = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; };
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && blank(text[i]))
    ++i;
  while (i < n) {
    std::string item;
    if (text[i] == '"') {
      ++i;
      while (i < n) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') { // a doubled quote is one quote
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      while (i < n && !blank(text[i]) && text[i] != ',')
        item += text[i++];
    }
    items.push_back(item);
    while (i < n && blank(text[i]))
      ++i;
    if (i < n && text[i] == ',') {
      if (i + 1 == n) items.emplace_back(); // a trailing comma ends with an empty item
      ++i;
      while (i < n && blank(text[i]))
        ++i;
    }
  }
  return items;
}

TConfigReg::TConfigReg() : Layouts(BuildLayouts()) {}

const TConfig* TConfigReg::Layout(int number) const {
  if (number < 1 || number > static_cast<int>(Layouts.size())) return nullptr;
  return &Layouts[static_cast<std::size_t>(number - 1)];
}

bool TConfigReg::SelectLayout(int number) {
  if (!Layout(number)) return false;
  Selected = number;
  TConfig& layout = Layouts[static_cast<std::size_t>(number - 1)];
  RowList.clear();
  for (TConfigItems& item : layout.Items) {
    if (item.Mask == 0) item.Mask = 1;
    TConfigRow row;
    row.Key = item.Name;
    row.Choices = item.Choices.empty() ? std::vector<std::string>{"False", "True"}
                                       : SplitCommaText(item.Choices);
    RowList.push_back(std::move(row));
  }
  return true;
}

bool TConfigReg::SetChoice(int row, const std::string& text) {
  if (row < 0 || row >= static_cast<int>(RowList.size())) return false;
  TConfigRow& r = RowList[static_cast<std::size_t>(row)];
  for (std::size_t i = 0; i < r.Choices.size(); ++i)
    if (r.Choices[i] == text) {
      r.Index = static_cast<int>(i);
      return true;
    }
  return false;
}

int TConfigReg::ReadItem(const TConfigItems& item, const TConfigImage& image) {
  const int position = item.ByteIndex * 8 + item.Bit;
  switch (item.Kind) {
  case 1:
    return (image[0] & 3) + ((image[0] & 0x10) ? 4 : 0);
  case 5: {
    int v = BitsAt(image, position, EffectiveMask(item));
    return v > 3 ? v - 12 : v;
  }
  default:
    return BitsAt(image, position, EffectiveMask(item));
  }
}

void TConfigReg::WriteItem(const TConfigItems& item, int c, TConfigImage& image) {
  switch (item.Kind) {
  case 0:
    PutBitsAt(image, item.ByteIndex * 8 + item.Bit, EffectiveMask(item), c);
    break;
  case 1:
    image[0] = Byte((image[0] & 0xEC) | (c & 3) | (c > 3 ? 0x10 : 0));
    break;
  case 2:
    image[0] = Byte((image[0] & 0xCF) | (c << 4));
    image[1] = Byte((image[1] & 0xCF) | (c << 4));
    break;
  case 3:
    if (c != 0) {
      image[0] = Byte(image[0] | 0xF0);
      image[1] = Byte(image[1] | 0x3F);
    } else {
      image[0] = Byte(image[0] & 0x0F);
      image[1] = Byte(image[1] & 0xC0);
    }
    break;
  case 4:
    image[1] = Byte((image[1] & 3) | (c << 2) | (c << 4));
    break;
  case 5:
    image[0] = Byte((image[0] & 0xEC) | (c & 3) | ((c << 2) & 0x10));
    break;
  default: // no encoding known: leave the image as it is
    break;
  }
}

void TConfigReg::ShowImage() {
  const TConfig* layout = Current();
  if (!layout) return;
  for (std::size_t i = 0; i < RowList.size() && i < layout->Items.size(); ++i) {
    int code = ReadItem(layout->Items[i], Image);
    if (code >= 0 && code < static_cast<int>(RowList[i].Choices.size())) RowList[i].Index = code;
  }
  if (OnRowsChanged) OnRowsChanged();
}

void TConfigReg::ApplyChoices() {
  const TConfig* layout = Current();
  if (!layout) return;
  for (std::size_t i = 0; i < RowList.size() && i < layout->Items.size(); ++i) {
    const TConfigRow& row = RowList[i];
    // A row without a valid choice leaves its bits alone rather than writing all ones.
    if (row.Index < 0 || row.Index >= static_cast<int>(row.Choices.size())) continue;
    WriteItem(layout->Items[i], row.Index, Image);
  }
}

bool TConfigReg::UsesByte(int byteIndex) const {
  const TConfig* layout = Current();
  if (!layout) return false;
  for (const TConfigItems& item : layout->Items)
    if (item.ByteIndex == byteIndex) return true;
  return false;
}

void TConfigReg::SetImage(const TConfigImage& bytes) {
  Image = bytes;
}
