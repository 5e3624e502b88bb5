#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/targetpart.h"

// The bus protocols of the older two- and three-wire memories the
// tmEEPROM_MIS module speaks.
enum class TMisProtocol : std::uint8_t { M6M, CAT64, SDE2506, CXK, TC89 };

// Faults a miscellaneous serial memory shows on demand.
struct TMisMemFaults {
  bool WritesDoNotStick = false; // a write cycle runs but the cell keeps its value
  bool StaysBusy = false;        // the write cycle never ends
  bool Silent = false;           // the part does not answer (missing, or not acknowledging)
};

// A miscellaneous serial memory behind the module's pins. Cells are kept in
// buffer order; a 16-bit word W is the bytes 2W (high) and 2W+1 (low). What
// differs between the parts (instruction length, write cycle, ready/busy
// output) comes from their data sheets through the constructor.
class TMisMemPart : public TTargetPart {
public:
  struct TTraits {
    TMisProtocol Protocol;
    unsigned InstructionBits; // start, opcode and control bits of one transaction, less the address
    std::uint32_t WriteCycleUs;
    bool ReadyBusy; // signals the end of a write cycle on DO
    int DataOutPin; // pin the part drives when powered (-1: none)
  };

  TMisMemPart(const TTraits& traits, std::size_t capacity);

  TMisProtocol Protocol() const { return Traits.Protocol; }
  const TTraits& Facts() const { return Traits; }
  std::size_t Capacity() const { return Cells.size(); }
  bool Powered() const { return Supply; }

  std::uint8_t Cell(std::size_t offset) const { return Cells[offset % Cells.size()]; }
  // One write cycle: the cell takes the value unless the part is told not to.
  void WriteCell(std::size_t offset, std::uint8_t value);
  void EraseAll();

  TTargetDrive Drive(int pin) const override;
  void PinsChanged(const TPinModel& pins) override;

  std::vector<std::uint8_t> Cells;
  TMisMemFaults Faults;
  std::uint64_t WriteCycles = 0; // cells written since creation
  std::uint64_t EraseCycles = 0;

private:
  TTraits Traits;
  bool Supply = false;
};
