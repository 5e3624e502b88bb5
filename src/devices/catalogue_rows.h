#pragma once

// Row builders of the built-in table: one per class code, each setting the
// fields every row of its class shares and taking the ones that differ.

#include <cstdint>
#include <vector>

#include "devices/devinfo.h"

namespace catalogue {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u32 = std::uint32_t;

// Option sets shared by several rows (functions, so that building the table
// never depends on the order of static initialisation).
inline TE2Opr I2cSmall() {
  return {oMonitor, oRead, oWrite, oEmul};
}
inline TE2Opr I2cLarge() {
  return {oRead, oWrite};
}
inline TE2Opr MwSmall() {
  return {oMonitor, oRead, oWrite, oEmul};
}
inline TE2Opr MwLarge() {
  return {oMonitor, oRead, oWrite};
}

inline TE2Opr At89s51Opr() {
  return {oRead, oWrite, oReset_Positive, oLockBits1};
}
inline TE2Opr At89s8253Opr() {
  return {oRead, oWrite, oEEPROM, oReset_Positive, oLockBits3, oFuseBits};
}
inline TE2Opr At89s53Opr() {
  return {oRead, oWrite, oReset_Positive, oLockBits1, oLockBitsWriteOnly};
}
inline TE2Opr At89s8252Opr() {
  return {oRead, oWrite, oEEPROM, oReset_Positive, oLockBits3, oLockBitsWriteOnly};
}

// Older AVR parts without a lock-read instruction, with the combined
// lock/fuse byte, the small tiny parts, and the paged parts.
inline TE2Opr AvrClassic() {
  return {oRead, oWrite, oEEPROM, oLockBits2, oLockBitsWriteOnly};
}
inline TE2Opr AvrClassicFuses() {
  return {oRead, oWrite, oEEPROM, oLockBits2, oFuseBits};
}
inline TE2Opr AvrTiny() {
  return {oRead, oWrite, oEEPROM, oCalibration, oLockBits2, oFuseBits};
}
inline TE2Opr AvrPaged() {
  return {oRead, oWrite, oEEPROM, oCalibration, oLockBits2, oFuseBits, oPageProgram};
}
inline TE2Opr AvrPagedNoCalibration() {
  return {oRead, oWrite, oEEPROM, oLockBits2, oFuseBits, oPageProgram};
}

inline TE2Opr Hc05RomOnly() {
  return {oRead, oReadRom, oTestConnection, oNoAutoBaud};
}
inline TE2Opr Hc05BEeprom() {
  return {oRead, oWrite, oReadRom, oEEPROM, oTestConnection, oNoAutoBaud};
}
inline TE2Opr Hc05Eeprom() {
  return {oRead, oWrite, oReadRom, oEEPROM, oNoAutoBaud};
}
inline TE2Opr Hc05EepromVer1() {
  return {oRead, oWrite, oReadRom, oEEPROM, oVer1, oNoAutoBaud};
}

inline TE2Opr Hc08Rom() {
  return {oRead, oWrite, oReadRom, oEEPROM};
}
inline TE2Opr Hc08RomDiv() {
  return {oRead, oWrite, oReadRom, oEEPROM, oEE1DIV};
}
inline TE2Opr Hc908Flash() {
  return {oRead, oWrite, oEEPROM, oFlash};
}
inline TE2Opr Hc908FlashDiv() {
  return {oRead, oWrite, oEEPROM, oFlash, oEE1DIV, OEE2DIV};
}

inline TE2Opr PicCalibrated() {
  return {oRead, oWrite, oEEPROM, oCalibration, oChipErase};
}
inline TE2Opr PicEeprom() {
  return {oRead, oWrite, oEEPROM, oChipErase};
}
inline TE2Opr PicEepromEndProg() {
  return {oRead, oWrite, oEEPROM, oChipErase, oEndProgRequired};
}
inline TE2Opr PicProtected() {
  return {oRead, oWrite, oEEPROM, oCodeProtect, oChipErase};
}
inline TE2Opr PicEraseOnly() {
  return {oRead, oWrite, oErase, oEndProgRequired};
}
inline TE2Opr PicChipErase() {
  return {oRead, oWrite, oChipErase, oEndProgRequired};
}

// Whether a group entry shows in the group box.
enum TListing { Listed, Hidden };

// Registry-owned entries.
TDevInfo Gdev(const char* id, const char* name, const char* descr, u32 groupBit, TListing listing);
TDevInfo Exit(const char* id, const char* name);

// Serial memories.
TDevInfo I2cn(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap,
              const TE2Opr& opr, u32 e2Tw, u32 e2Tc, u8 pin7, int alg);
TDevInfo I2cProtocol(const char* id, const char* name);
TDevInfo I2c0(const char* id, const char* name, const char* descr);
TDevInfo I2c1(const char* id, const char* name, const char* descr);
TDevInfo Spis(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap, u32 e2Tc);
TDevInfo M25p(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Tera);
TDevInfo M350(const char* id, const char* name, const char* descr);
TDevInfo Miwi(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap, u8 e2org,
              const TE2Opr& opr);
TDevInfo Miw7(const char* id, const char* name, const char* descr);
TDevInfo Miws(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap);
TDevInfo S29(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap);
TDevInfo Cxso(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap);
TDevInfo M6m8(const char* id, const char* name, const char* descr, u32 e2cap);
TDevInfo Cat6(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap);
TDevInfo Sdes(const char* id, const char* name, const char* descr);
TDevInfo Tcto(const char* id, const char* name, const char* descr, u32 e2cap, u8 e2org);

// Microcontrollers.
TDevInfo At89s1(const char* id, const char* name, const char* descr, u32 e2cap, const TE2Opr& opr,
                u32 e2Tw, u32 e2Tera, u32 e2Tfw, u32 memCap, u16 lockBits, u16 fuseBits);
TDevInfo At89s5(const char* id, const char* name, const char* descr, const TE2Opr& opr, u32 e2Tera,
                u32 memCap);
TDevInfo Avr(const char* id, const char* name, const char* descr, u32 e2cap, const TE2Opr& opr,
             u32 e2Tw, u32 e2Tera, u32 e2Tfw, u32 memCap, u16 pageWords, u16 lockBits,
             u16 fuseBits);
TDevInfo Cr16(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Start,
              u32 memCap);
TDevInfo Mc05(const char* id, const char* name, const char* descr, u32 e2cap, const TE2Opr& opr,
              u32 memCap);
TDevInfo M05e6(const char* id, const char* name, const char* descr, const TE2Opr& opr, u32 xFreq);
TDevInfo M05h1(const char* id, const char* name, const char* descr);
TDevInfo M05l2(const char* id, const char* name, const char* descr);
TDevInfo M05p3(const char* id, const char* name, const char* descr, const TE2Opr& opr);
TDevInfo M05x(const char* id, const char* name, const char* descr);
TDevInfo M705(const char* id, const char* name, const char* descr);
TDevInfo Hc11es(const char* id, const char* name, const char* descr);
TDevInfo Mc11(const char* id, const char* name, const char* descr, u32 e2Start, u32 xFreq,
              u16 configOption);
TDevInfo Hc11ea(const char* id, const char* name, const char* descr);
TDevInfo Hc11k4(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Start,
                u32 xFreq, u16 configOption);
TDevInfo Hc908(const char* id, const char* name, const char* descr, u32 e2cap, const TE2Opr& opr,
               u32 e2Start, u32 xFreq, int alg);
TDevInfo Hc912(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Tw,
               u32 e2Start, int alg);
TDevInfo S12(const char* id, const char* name, const char* descr, u32 e2cap);
TDevInfo S12x(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Start);
TDevInfo Nec(const char* id, const char* name, const char* descr, u16 eewc);
TDevInfo Tms2(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Start);
TDevInfo Tms3(const char* id, const char* name, const char* descr, u32 e2cap, u32 e2Start);
TDevInfo St62(const char* id, const char* name, const char* descr);
TDevInfo P12f(const char* id, const char* name, const char* descr, u32 memCap, u32 prCap,
              u32 confStart, u32 idStart, u32 calibrStart);
TDevInfo P16f(const char* id, const char* name, const char* descr, u32 e2cap, const TE2Opr& opr,
              u32 e2Tw, u32 e2Tera, u32 memCap, u32 prCap, u32 calibrStart, u16 blockBytes,
              u16 configOption, int alg, u16 chipEraseAlg);

// Rows whose class code this program has no class for; the registry skips
// them, but they are described like the others.
TDevInfo FileRow(const char* id, const char* name);
TDevInfo SpiProtocol(const char* id, const char* name, int alg);
TDevInfo Eeprom28(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap,
                  u8 package, u32 protectA1, u32 protectA2);
TDevInfo Flash29(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap,
                 u8 package, u32 protectA1, u32 protectA2, u16 pageBytes, u32 e2Tera);
TDevInfo Eprom27(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap,
                 u8 package);
TDevInfo Spi0(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap);
TDevInfo Ford(const char* id, const char* name, const char* descr);
TDevInfo Er14(const char* id, const char* name, const char* descr);
TDevInfo Xxio(const char* id, const char* name, const char* descr, u8 e2len, u32 e2cap, u8 e2org);
TDevInfo Nvm3(const char* id, const char* name, const char* descr);
TDevInfo P12c(const char* id, const char* name, const char* descr, u8 e2len, u32 memCap, u32 prCap,
              u32 confStart, u32 idStart, u32 calibrStart, u16 configOption);
TDevInfo P16c(const char* id, const char* name, const char* descr, u32 e2cap, u32 memCap,
              u32 prCap);
TDevInfo P18f(const char* id, const char* name, const char* descr, u32 prCap);
TDevInfo Hcs(const char* id, const char* name, const char* descr);

// The table itself, in three consecutive stretches.
void AppendMemoryRows(std::vector<TDevInfo>& rows); // groups, protocols, memories
void AppendMcuRows(std::vector<TDevInfo>& rows);    // 8051, AVR, CR16, Motorola, NEC, TI, ST
void AppendPicRows(std::vector<TDevInfo>& rows);    // PIC, encoders, later memories

} // namespace catalogue
