#pragma once

#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <string>

// A set of byte values (256 bits): the option bits of a device and its group bits.
class TByteSet {
public:
  TByteSet() = default;
  TByteSet(std::initializer_list<int> bits) {
    for (int b : bits)
      Include(b);
  }

  bool Contains(int bit) const { return InRange(bit) && Bits.test(static_cast<std::size_t>(bit)); }
  void Include(int bit) {
    if (InRange(bit)) Bits.set(static_cast<std::size_t>(bit));
  }
  void Exclude(int bit) {
    if (InRange(bit)) Bits.reset(static_cast<std::size_t>(bit));
  }
  // True when every bit of `sub` is in this set (the empty set is in every set).
  bool ContainsAll(const TByteSet& sub) const { return (sub.Bits & ~Bits).none(); }
  bool Empty() const { return Bits.none(); }
  int Count() const { return static_cast<int>(Bits.count()); }

  TByteSet operator+(const TByteSet& o) const { return TByteSet(Bits | o.Bits); }
  TByteSet operator-(const TByteSet& o) const { return TByteSet(Bits & ~o.Bits); }
  TByteSet operator*(const TByteSet& o) const { return TByteSet(Bits & o.Bits); }
  bool operator==(const TByteSet& o) const = default;

  const std::bitset<256>& Raw() const { return Bits; }

private:
  explicit TByteSet(const std::bitset<256>& b) : Bits(b) {}
  static bool InRange(int bit) { return bit >= 0 && bit < 256; }
  std::bitset<256> Bits;
};

// Option and capability bits of a device.
using TE2Opr = TByteSet;
// Group bits: the groups an entry belongs to, or the groups a group shows.
using TDevGroup = TByteSet;

// Bits of TE2Opr
constexpr std::uint32_t oMonitor = 0;
constexpr std::uint32_t oRead = 1;
constexpr std::uint32_t oWrite = 2;
constexpr std::uint32_t oErase = 3;
constexpr std::uint32_t oEmul = 4;
constexpr std::uint32_t oReadRom = 5;
constexpr std::uint32_t oEEPROM = 6;
constexpr std::uint32_t oCalibration = 7;
constexpr std::uint32_t oCodeProtect = 8;
constexpr std::uint32_t oDeviceGroup = 9;
constexpr std::uint32_t oFlash = 10;
constexpr std::uint32_t oReset_Positive = 11;
constexpr std::uint32_t oLockBits1 = 12;
constexpr std::uint32_t oLockBits2 = 13;
constexpr std::uint32_t oLockBits3 = 14;
constexpr std::uint32_t oLockBitsWriteOnly = 15;
constexpr std::uint32_t oFuseBits = 16;
constexpr std::uint32_t oPageProgram = 17;
constexpr std::uint32_t oChipErase = 18;
constexpr std::uint32_t oBDMLockoutDisable = 19;
constexpr std::uint32_t oBDMEERemapped = 20;
constexpr std::uint32_t oVer1 = 21;
constexpr std::uint32_t oEE1DIV = 22;
constexpr std::uint32_t OEE2DIV = 23;
constexpr std::uint32_t oTestConnection = 24;
constexpr std::uint32_t oNoOscillator = 25;
constexpr std::uint32_t oNoAutoBaud = 26;
constexpr std::uint32_t oEndProgRequired = 27;
constexpr std::uint32_t oNoAllMemory = 28;

// Bits of TDevGroup
constexpr std::uint32_t oAllDev = 0;
constexpr std::uint32_t oI2CDev = 1;
constexpr std::uint32_t oMicrowireDev = 2;
constexpr std::uint32_t oSPIDev = 3;
constexpr std::uint32_t oMotorolaMCU = 4;
constexpr std::uint32_t oPICs = 5;
constexpr std::uint32_t oEEPROMMisc = 6;
constexpr std::uint32_t oHCS = 7;
constexpr std::uint32_t oAllEEPROMs = 8;
constexpr std::uint32_t oFlash29 = 9;
constexpr std::uint32_t oEEPROM28 = 10;
constexpr std::uint32_t oEPROM27 = 11;
constexpr std::uint32_t oNecMCU = 12;
constexpr std::uint32_t oNSCMCU = 13;
constexpr std::uint32_t oExit = 14;
constexpr std::uint32_t oAtmelMCU = 15;
constexpr std::uint32_t oHide = 16;
constexpr std::uint32_t oTMSMCU = 17;
constexpr std::uint32_t oSTMCU = 18;

// Script-made groups take bits from here up to 255.
constexpr int FirstCustomGroupBit = 64;

// The operation a task performs; the ordinals are fixed.
enum TE2Operation : std::uint8_t {
  oprBlank,
  oprRead,
  oprProgram,
  oprVerify,
  oprErase,
  oprReadReg,
  oprSaveReg,
  oprTestConnection,
  oprEmul,
  oprAutoBaudRate,
  oprReadPrReg,
  oprWritePrReg,
  oprClearPrReg,
  oprBDMLockoutDisable,
  oprBDMLockoutEnable,
  oprReadConfigReg,
  oprProgramConfigReg,
  oprFuseBitsRead,
  oprFuseBitsProgram,
  oprLockBitsRead,
  oprLockBitsProgram,
  oprDisableProtection,
};

constexpr int E2OperationCount = oprDisableProtection + 1;

// Description of one registry entry. Field order is the order scripts see and
// the order a device mirrors; do not reorder.
struct TDevInfo {
  std::string DevClass;
  std::string ID;
  std::string Name;
  std::string InheritedDevName;
  std::uint8_t e2len = 0;
  std::uint32_t e2cap = 0;
  std::uint8_t e2org = 0;
  std::string Descr;
  TE2Opr e2Opr;
  TDevGroup GroupFilter;
  TDevGroup DevFilter;
  std::uint32_t e2Tw = 0;
  std::uint32_t e2Tc = 0;
  std::uint32_t e2Tera = 0;
  std::uint32_t e2Tfw = 0;
  std::uint32_t e2Tres = 0;
  std::uint32_t e2Start = 0;
  std::uint32_t MemCap = 0;
  std::uint32_t prStart = 0;
  std::uint32_t prCap = 0;
  std::uint32_t confStart = 0;
  std::uint32_t idStart = 0;
  std::uint32_t idCap = 0;
  std::uint32_t calibrStart = 0;
  std::uint16_t BPSector = 0;
  std::uint32_t XFreq = 0;
  std::uint32_t SoftProtectA1 = 0;
  std::uint32_t SoftProtectA2 = 0;
  std::uint16_t ConfigOption = 0;
  std::uint8_t Pin7 = 0;
  std::int32_t Alg = 0;
  std::uint8_t Package = 0;
  std::uint8_t I2CSlave = 0;
  std::uint16_t Settings = 0;
  std::uint16_t ResetTime0 = 0;
  std::uint16_t ResetTime1 = 0;
  std::uint16_t PowerSetupTime = 0;
  std::uint16_t EEWC = 0;
  std::uint16_t LockBitsOption = 0;
  std::uint16_t FuseBitsOption = 0;
  std::uint16_t ChipEraseAlg = 0;
  std::uint8_t TMS_WDRST = 0;
  std::uint8_t TMS_WDPrescaleAdr = 0;
  std::uint8_t TMS_WDPrescaleData = 0;

  bool operator==(const TDevInfo&) const = default;
};

// The class code: the first four characters of DevClass, or of ID when
// DevClass is empty (fewer when the string is shorter).
std::string ClassCode(const TDevInfo& info);
