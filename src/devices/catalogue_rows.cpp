#include "devices/catalogue_rows.h"

namespace catalogue {

namespace {

// Settings-dialog layouts by kind of part.
constexpr u16 SettingsMcuTimes = 1;
constexpr u16 SettingsMcuPower = 2;
constexpr u16 SettingsI2c = 3;
constexpr u16 SettingsSerial = 4;
constexpr u16 SettingsPicFlash = 5;
constexpr u16 SettingsAtmel = 6;

constexpr u16 PowerSetup = 100; // ms, every powered part
constexpr u16 ResetTime = 100;  // ms

TDevInfo Entry(const char* id, const char* name, const char* descr = "") {
  TDevInfo row;
  row.ID = id;
  row.Name = name;
  row.Descr = descr;
  return row;
}

TDevGroup Member(u32 groupBit) {
  return TDevGroup{oAllDev, static_cast<int>(groupBit)};
}

// Two- and three-wire memories share organisation, dialog layout and power-up time.
TDevInfo Serial(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap, u8 e2org,
                const TE2Opr& opr, u32 groupBit, u32 e2Tw, u32 e2Tc,
                u16 settings = SettingsSerial) {
  TDevInfo row = Entry(id, name, descr);
  row.e2len = e2len;
  row.e2cap = e2cap;
  row.e2org = e2org;
  row.e2Opr = opr;
  row.DevFilter = Member(groupBit);
  row.e2Tw = e2Tw;
  row.e2Tc = e2Tc;
  row.Settings = settings;
  row.PowerSetupTime = PowerSetup;
  return row;
}

// Microcontrollers booted or monitored through the module: byte-wide map,
// reset and power-up times.
TDevInfo Mcu(const char* id, const char* name, const char* descr, u32 e2cap, const TE2Opr& opr,
             u32 groupBit, u32 e2Start, u32 memCap, u16 settings) {
  TDevInfo row = Entry(id, name, descr);
  row.e2len = 8;
  row.e2cap = e2cap;
  row.e2org = 8;
  row.e2Opr = opr;
  row.DevFilter = Member(groupBit);
  row.e2Start = e2Start;
  row.MemCap = memCap;
  row.Settings = settings;
  row.ResetTime0 = ResetTime;
  row.ResetTime1 = ResetTime;
  row.PowerSetupTime = PowerSetup;
  return row;
}

TDevInfo Motorola(const char* id, const char* name, const char* descr, u32 e2cap, const TE2Opr& opr,
                  u32 e2Start, u32 memCap, u32 xFreq, u16 settings = SettingsMcuPower) {
  TDevInfo row = Mcu(id, name, descr, e2cap, opr, oMotorolaMCU, e2Start, memCap, settings);
  row.XFreq = xFreq;
  return row;
}

// Serial-boot parts of other makers: 64 KB map, 4 MHz, no oscillator choice.
TDevInfo SerialBoot(const char* id, const char* name, const char* descr, u32 e2cap,
                    const TE2Opr& opr, u32 groupBit, u32 e2Start) {
  TDevInfo row = Mcu(id, name, descr, e2cap, opr, groupBit, e2Start, 0x10000, SettingsMcuTimes);
  row.e2Tw = 15000;
  row.XFreq = 4000;
  return row;
}

// AVR and 8051 parts programmed in system.
TDevInfo Atmel(const char* id, const char* name, const char* descr, u32 e2cap, u8 e2org,
               const TE2Opr& opr, u32 e2Tw, u32 e2Tera, u32 e2Tfw, u32 memCap, u32 e2Tc,
               u16 lockBits, u16 fuseBits) {
  TDevInfo row = Entry(id, name, descr);
  row.e2len = 8;
  row.e2cap = e2cap;
  row.e2org = e2org;
  row.e2Opr = opr;
  row.DevFilter = Member(oAtmelMCU);
  row.e2Tw = e2Tw;
  row.e2Tc = e2Tc;
  row.e2Tera = e2Tera;
  row.e2Tfw = e2Tfw;
  row.MemCap = memCap;
  row.Settings = SettingsAtmel;
  row.ResetTime0 = ResetTime;
  row.PowerSetupTime = PowerSetup;
  row.LockBitsOption = lockBits;
  row.FuseBitsOption = fuseBits;
  return row;
}

// PIC rows: buffer image with program words, then ID, configuration and data EEPROM.
TDevInfo Pic(const char* id, const char* name, const char* descr, u8 e2len, const TE2Opr& opr,
             u32 memCap, u32 prCap, u32 confStart, u32 idStart) {
  TDevInfo row = Entry(id, name, descr);
  row.e2len = e2len;
  row.e2org = 8;
  row.e2Opr = opr;
  row.DevFilter = Member(oPICs);
  row.e2Tc = 10;
  row.MemCap = memCap;
  row.prCap = prCap;
  row.confStart = confStart;
  row.idStart = idStart;
  row.idCap = 8;
  row.Settings = SettingsPicFlash;
  row.PowerSetupTime = PowerSetup;
  return row;
}

// Mid-range layout: ID words at 0x4000, configuration word at 0x400E, EEPROM from 0x4200.
constexpr u32 MidIdStart = 0x4000;
constexpr u32 MidConfStart = 0x400E;
constexpr u32 MidEepromStart = 0x4200;

} // namespace

TDevInfo Gdev(const char* id, const char* name, const char* descr, u32 groupBit, TListing listing) {
  TDevInfo row = Entry(id, name, descr);
  row.e2Opr = TE2Opr{oDeviceGroup};
  row.GroupFilter = TDevGroup{static_cast<int>(groupBit)};
  if (listing == Hidden) row.DevFilter = TDevGroup{oHide};
  return row;
}

TDevInfo Exit(const char* id, const char* name) {
  TDevInfo row = Entry(id, name);
  row.DevFilter = TDevGroup{oExit};
  return row;
}

TDevInfo I2cn(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap,
              const TE2Opr& opr, u32 e2Tw, u32 e2Tc, u8 pin7, int alg) {
  TDevInfo row = Serial(id, name, descr, e2len, e2cap, 8, opr, oI2CDev, e2Tw, e2Tc, SettingsI2c);
  row.Pin7 = pin7;
  row.Alg = alg;
  row.I2CSlave = 0xA0;
  return row;
}

// The bus-monitor entry: an I2C device in no group, so no list shows it.
TDevInfo I2cProtocol(const char* id, const char* name) {
  TDevInfo row = I2cn(id, name, "", 8, 256, TE2Opr{oMonitor}, 10000, 100, 0, 0);
  row.DevFilter = TDevGroup{};
  return row;
}

TDevInfo I2c0(const char* id, const char* name, const char* descr) {
  return Serial(id, name, descr, 4, 16, 8, TE2Opr{oRead, oWrite}, oI2CDev, 10000, 100);
}

// The address travels in the command byte, so there is no address length.
TDevInfo I2c1(const char* id, const char* name, const char* descr) {
  return Serial(id, name, descr, 0, 128, 8, TE2Opr{oRead, oWrite}, oI2CDev, 10000, 100);
}

TDevInfo Spis(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap, u32 e2Tc) {
  return Serial(id, name, descr, e2len, e2cap, 8, TE2Opr{oMonitor, oRead, oWrite}, oSPIDev, 10000,
                e2Tc);
}

TDevInfo M25p(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Tera) {
  TDevInfo row = Serial(id, name, descr, 24, e2cap, 8, TE2Opr{oRead, oWrite, oErase}, oSPIDev, 5000,
                        1, SettingsPicFlash);
  row.e2Tera = e2Tera;
  return row;
}

TDevInfo M350(const char* id, const char* name, const char* descr) {
  return Serial(id, name, descr, 16, 0x400, 8, TE2Opr{oMonitor, oRead, oWrite, oErase}, oSPIDev,
                10000, 2);
}

TDevInfo Miwi(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap, u8 e2org,
              const TE2Opr& opr) {
  return Serial(id, name, descr, e2len, e2cap, e2org, opr, oMicrowireDev, 20000, 100);
}

TDevInfo Miw7(const char* id, const char* name, const char* descr) {
  return Serial(id, name, descr, 4, 32, 16, TE2Opr{oRead, oWrite}, oEEPROMMisc, 50000, 100);
}

TDevInfo Miws(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap) {
  return Serial(id, name, descr, e2len, e2cap, 16, MwLarge(), oMicrowireDev, 20000, 100);
}

TDevInfo S29(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap) {
  return Serial(id, name, descr, e2len, e2cap, 16, TE2Opr{oRead, oWrite}, oEEPROMMisc, 15000, 100);
}

TDevInfo Cxso(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap) {
  return Serial(id, name, descr, e2len, e2cap, 8, TE2Opr{oRead, oWrite}, oEEPROMMisc, 100000, 100);
}

TDevInfo M6m8(const char* id, const char* name, const char* descr, u32 e2cap) {
  return Serial(id, name, descr, 8, e2cap, 16, TE2Opr{oRead, oWrite}, oEEPROMMisc, 20000, 100);
}

TDevInfo Cat6(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap) {
  return Serial(id, name, descr, e2len, e2cap, 16, TE2Opr{oRead, oWrite}, oEEPROMMisc, 20000, 100);
}

TDevInfo Sdes(const char* id, const char* name, const char* descr) {
  return Serial(id, name, descr, 7, 128, 8, TE2Opr{oRead, oWrite}, oEEPROMMisc, 20000, 100);
}

TDevInfo Tcto(const char* id, const char* name, const char* descr, u32 e2cap, u8 e2org) {
  return Serial(id, name, descr, 8, e2cap, e2org, TE2Opr{oRead, oWrite, oErase}, oEEPROMMisc, 20000,
                100);
}

TDevInfo At89s1(const char* id, const char* name, const char* descr, u32 e2cap, const TE2Opr& opr,
                u32 e2Tw, u32 e2Tera, u32 e2Tfw, u32 memCap, u16 lockBits, u16 fuseBits) {
  return Atmel(id, name, descr, e2cap, 8, opr, e2Tw, e2Tera, e2Tfw, memCap, 40, lockBits, fuseBits);
}

TDevInfo At89s5(const char* id, const char* name, const char* descr, const TE2Opr& opr, u32 e2Tera,
                u32 memCap) {
  return Atmel(id, name, descr, 0x800, 8, opr, 10000, e2Tera, 10000, memCap, 40, 10, 0);
}

TDevInfo Avr(const char* id, const char* name, const char* descr, u32 e2cap, const TE2Opr& opr,
             u32 e2Tw, u32 e2Tera, u32 e2Tfw, u32 memCap, u16 pageWords, u16 lockBits,
             u16 fuseBits) {
  TDevInfo row =
      Atmel(id, name, descr, e2cap, 16, opr, e2Tw, e2Tera, e2Tfw, memCap, 10, lockBits, fuseBits);
  row.BPSector = pageWords;
  return row;
}

TDevInfo Cr16(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Start,
              u32 memCap) {
  return Mcu(id, name, descr, e2cap, TE2Opr{oRead, oWrite, oReadRom, oEEPROM, oNoOscillator},
             oNSCMCU, e2Start, memCap, SettingsMcuPower);
}

TDevInfo Mc05(const char* id, const char* name, const char* descr, u32 e2cap, const TE2Opr& opr,
              u32 memCap) {
  return Motorola(id, name, descr, e2cap, opr, 0x100, memCap, 0);
}

TDevInfo M05e6(const char* id, const char* name, const char* descr, const TE2Opr& opr, u32 xFreq) {
  return Motorola(id, name, descr, 160, opr, 0x100, 0x2000, xFreq);
}

TDevInfo M05h1(const char* id, const char* name, const char* descr) {
  return Motorola(id, name, descr, 0x100, Hc05Eeprom(), 0x400, 0x8000, 4000);
}

TDevInfo M05l2(const char* id, const char* name, const char* descr) {
  return Motorola(id, name, descr, 0x100, Hc05BEeprom(), 0x300, 0x4000, 4000);
}

TDevInfo M05p3(const char* id, const char* name, const char* descr, const TE2Opr& opr) {
  return Motorola(id, name, descr, 128, opr, 0x100, 0x1000, 4000);
}

TDevInfo M05x(const char* id, const char* name, const char* descr) {
  return Motorola(id, name, descr, 0x100, Hc05Eeprom(), 0x100, 0x8000, 0);
}

TDevInfo M705(const char* id, const char* name, const char* descr) {
  return Motorola(id, name, descr, 0x100, Hc05BEeprom(), 0x100, 0x4000, 0);
}

namespace {
TE2Opr Hc11Opr() {
  return {oRead, oWrite, oReadRom, oEEPROM, oTestConnection};
}

TDevInfo Hc11(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Start,
              u32 xFreq, u16 configOption) {
  TDevInfo row = Motorola(id, name, descr, e2cap, Hc11Opr(), e2Start, 0x10000, xFreq);
  row.ConfigOption = configOption;
  return row;
}
} // namespace

TDevInfo Hc11es(const char* id, const char* name, const char* descr) {
  return Hc11(id, name, descr, 0x200, 0xB600, 4000, 1);
}

TDevInfo Mc11(const char* id, const char* name, const char* descr, u32 e2Start, u32 xFreq,
              u16 configOption) {
  return Hc11(id, name, descr, 0x200, e2Start, xFreq, configOption);
}

TDevInfo Hc11ea(const char* id, const char* name, const char* descr) {
  return Hc11(id, name, descr, 0x200, 0xB600, 8000, 1);
}

TDevInfo Hc11k4(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Start,
                u32 xFreq, u16 configOption) {
  return Hc11(id, name, descr, e2cap, e2Start, xFreq, configOption);
}

TDevInfo Hc908(const char* id, const char* name, const char* descr, u32 e2cap, const TE2Opr& opr,
               u32 e2Start, u32 xFreq, int alg) {
  TDevInfo row = Motorola(id, name, descr, e2cap, opr, e2Start, 0x10000, xFreq, SettingsMcuTimes);
  row.e2Tw = 10000;
  row.Alg = alg;
  return row;
}

TDevInfo Hc912(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Tw,
               u32 e2Start, int alg) {
  TDevInfo row =
      Motorola(id, name, descr, e2cap, TE2Opr{oRead, oWrite, oEEPROM, oCodeProtect, oFlash},
               e2Start, 0x10000, 4000, SettingsMcuTimes);
  row.e2Tw = e2Tw;
  row.Alg = alg;
  return row;
}

TDevInfo S12(const char* id, const char* name, const char* descr, u32 e2cap) {
  TDevInfo row = Motorola(id, name, descr, e2cap,
                          TE2Opr{oRead, oWrite, oEEPROM, oCodeProtect, oFlash, oBDMEERemapped},
                          0x8000, 0x10000, 4000, SettingsMcuTimes);
  row.e2Tw = 15000;
  row.Alg = 1;
  return row;
}

TDevInfo S12x(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Start) {
  TDevInfo row =
      Motorola(id, name, descr, e2cap, TE2Opr{oRead, oWrite, oEEPROM, oCodeProtect, oFlash},
               e2Start, 0x10000, 4000, SettingsMcuTimes);
  row.e2Tw = 15000;
  row.Alg = 1;
  return row;
}

TDevInfo Nec(const char* id, const char* name, const char* descr, u16 eewc) {
  TDevInfo row = SerialBoot(id, name, descr, 0x100, TE2Opr{oRead, oWrite, oEEPROM, oNoOscillator},
                            oNecMCU, 0xF900);
  row.EEWC = eewc;
  return row;
}

// The watchdog fields stay 0: every built-in part uses the family's registers.
TDevInfo Tms2(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Start) {
  return SerialBoot(id, name, descr, e2cap, TE2Opr{oRead, oWrite, oEEPROM, oNoOscillator}, oTMSMCU,
                    e2Start);
}

TDevInfo Tms3(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Start) {
  return SerialBoot(id, name, descr, e2cap, TE2Opr{oRead, oWrite, oEEPROM, oNoOscillator}, oTMSMCU,
                    e2Start);
}

TDevInfo St62(const char* id, const char* name, const char* descr) {
  return SerialBoot(id, name, descr, 128,
                    TE2Opr{oRead, oWrite, oEEPROM, oNoOscillator, oNoAllMemory}, oSTMCU, 0);
}

TDevInfo P12f(const char* id, const char* name, const char* descr, u32 memCap, u32 prCap,
              u32 confStart, u32 idStart, u32 calibrStart) {
  TDevInfo row =
      Pic(id, name, descr, 12, TE2Opr{oRead, oWrite, oCalibration, oChipErase, oEndProgRequired},
          memCap, prCap, confStart, idStart);
  row.e2Tw = 2000;
  row.e2Tera = 10;
  row.e2Tres = 30;
  row.calibrStart = calibrStart;
  row.ConfigOption = 40;
  row.ChipEraseAlg = 5;
  return row;
}

TDevInfo P16f(const char* id, const char* name, const char* descr, u32 e2cap, const TE2Opr& opr,
              u32 e2Tw, u32 e2Tera, u32 memCap, u32 prCap, u32 calibrStart, u16 blockBytes,
              u16 configOption, int alg, u16 chipEraseAlg) {
  TDevInfo row = Pic(id, name, descr, 14, opr, memCap, prCap, MidConfStart, MidIdStart);
  row.e2cap = e2cap;
  row.e2Start = MidEepromStart;
  row.e2Tw = e2Tw;
  row.e2Tera = e2Tera;
  row.calibrStart = calibrStart;
  row.BPSector = blockBytes;
  row.ConfigOption = configOption;
  row.Alg = alg;
  row.ChipEraseAlg = chipEraseAlg;
  return row;
}

TDevInfo FileRow(const char* id, const char* name) {
  return Entry(id, name);
}

TDevInfo SpiProtocol(const char* id, const char* name, int alg) {
  TDevInfo row = Spis(id, name, "", 8, 256, 1);
  row.e2Opr = TE2Opr{oMonitor};
  row.DevFilter = TDevGroup{};
  row.Alg = alg;
  return row;
}

namespace {
TDevInfo Parallel(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap,
                  u8 package, const TE2Opr& opr, u32 groupBit, u32 e2Tw) {
  TDevInfo row = Entry(id, name, descr);
  row.e2len = e2len;
  row.e2cap = e2cap;
  row.e2org = 8;
  row.e2Opr = opr;
  row.DevFilter = Member(groupBit);
  row.e2Tw = e2Tw;
  row.MemCap = e2cap;
  row.Package = package;
  row.PowerSetupTime = PowerSetup;
  return row;
}
} // namespace

TDevInfo Eeprom28(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap,
                  u8 package, u32 protectA1, u32 protectA2) {
  TDevInfo row =
      Parallel(id, name, descr, e2len, e2cap, package, TE2Opr{oRead, oWrite}, oEEPROM28, 10000);
  row.SoftProtectA1 = protectA1;
  row.SoftProtectA2 = protectA2;
  return row;
}

TDevInfo Flash29(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap,
                 u8 package, u32 protectA1, u32 protectA2, u16 pageBytes, u32 e2Tera) {
  // Page-write parts take a whole page per write cycle, byte-program parts microseconds.
  TDevInfo row = Parallel(id, name, descr, e2len, e2cap, package, TE2Opr{oRead, oWrite, oErase},
                          oFlash29, pageBytes ? 10000 : 20);
  row.e2Tera = e2Tera;
  row.BPSector = pageBytes;
  if (pageBytes) row.e2Opr.Include(oPageProgram);
  row.SoftProtectA1 = protectA1;
  row.SoftProtectA2 = protectA2;
  return row;
}

TDevInfo Eprom27(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap,
                 u8 package) {
  return Parallel(id, name, descr, e2len, e2cap, package, TE2Opr{oRead, oWrite}, oEPROM27, 100);
}

TDevInfo Spi0(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap) {
  return Serial(id, name, descr, e2len, e2cap, 16, TE2Opr{oRead, oWrite}, oSPIDev, 10000, 1);
}

TDevInfo Ford(const char* id, const char* name, const char* descr) {
  return Serial(id, name, descr, 4, 32, 16, TE2Opr{oRead, oWrite}, oEEPROMMisc, 50000, 100);
}

// 100 words of 14 bits, kept as 16-bit words; erase and write take up to 24 ms.
TDevInfo Er14(const char* id, const char* name, const char* descr) {
  TDevInfo row =
      Serial(id, name, descr, 20, 200, 16, TE2Opr{oRead, oWrite, oErase}, oEEPROMMisc, 24000, 100);
  row.e2Tera = 24;
  return row;
}

TDevInfo Xxio(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap, u8 e2org) {
  return Serial(id, name, descr, e2len, e2cap, e2org, TE2Opr{oRead, oWrite}, oEEPROMMisc, 10000,
                100);
}

TDevInfo Nvm3(const char* id, const char* name, const char* descr) {
  return Serial(id, name, descr, 9, 512, 8, TE2Opr{oRead, oWrite}, oEEPROMMisc, 10000, 100);
}

// One-time-programmable parts: 100 us programming pulses, no erase.
TDevInfo P12c(const char* id, const char* name, const char* descr, u8 e2len, u32 memCap, u32 prCap,
              u32 confStart, u32 idStart, u32 calibrStart, u16 configOption) {
  TDevInfo row = Pic(id, name, descr, e2len, TE2Opr{oRead, oWrite, oCalibration}, memCap, prCap,
                     confStart, idStart);
  row.e2Tw = 100;
  row.e2Tres = 30;
  row.calibrStart = calibrStart;
  row.ConfigOption = configOption;
  return row;
}

TDevInfo P16c(const char* id, const char* name, const char* descr, u32 e2cap, u32 memCap,
              u32 prCap) {
  TDevInfo row =
      Pic(id, name, descr, 14, TE2Opr{oRead, oWrite}, memCap, prCap, MidConfStart, MidIdStart);
  if (e2cap) {
    row.e2Opr.Include(oEEPROM);
    row.e2cap = e2cap;
  }
  row.e2Start = MidEepromStart;
  row.e2Tw = 100;
  row.ConfigOption = 35;
  return row;
}

// Program words, then the ID bytes, the fourteen configuration bytes and 256
// EEPROM bytes packed behind them.
TDevInfo P18f(const char* id, const char* name, const char* descr, u32 prCap) {
  TDevInfo row = Pic(id, name, descr, 16, TE2Opr{oRead, oWrite, oEEPROM, oChipErase}, prCap + 0x200,
                     prCap, prCap + 0x10, prCap);
  row.e2cap = 256;
  row.e2Start = prCap + 0x100;
  row.e2Tw = 1000;
  row.e2Tera = 10;
  row.BPSector = 8;
  row.ConfigOption = 30;
  return row;
}

// Twelve 16-bit words written as one block after a bulk erase.
TDevInfo Hcs(const char* id, const char* name, const char* descr) {
  TDevInfo row = Serial(id, name, descr, 0, 24, 16, TE2Opr{oRead, oWrite}, oHCS, 4000, 50);
  row.e2Tera = 50;
  return row;
}

} // namespace catalogue
