#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TVirtualModule;
class TTargetPart;
class TCommandGroup;

// What the socket needs to know of the device being operated on, copied from
// its description record by the caller (the simulator knows no device model).
struct TSocketPartSpec {
  std::string ClassCode; // "i2cn", "miwi", "m25p", ...
  std::string Name;      // "24C02"
  std::uint32_t Capacity = 0;
  std::uint8_t Org = 8;
  std::uint8_t AddressBits = 0; // e2len
  std::uint8_t Pin7 = 0;
  std::uint8_t Slave = 0;    // I2CSlave
  std::uint32_t WriteUs = 0; // e2Tw
};

// A part made for the socket: the model behind the pins, its contents in
// buffer order (for --target-image and --target-dump) and the command groups
// of the firmware that talks to it.
struct TSocketEntry {
  std::shared_ptr<TTargetPart> Part;
  std::function<std::vector<std::uint8_t>()> Dump;
  // An image shorter than the part leaves the rest erased; a longer one is cut.
  std::function<void(const std::vector<std::uint8_t>&)> Load;
  std::vector<std::pair<std::uint8_t, std::shared_ptr<TCommandGroup>>> Groups;
  // Arms a fault of the part or its firmware by name (the text after "part:");
  // false with a reason for a name the part does not know.
  std::function<bool(const std::string& name, std::string& error)> Fault;
};

// "--fault part:NAME": faults of the part in the socket, for --help.
extern const char* const SocketFaultGrammar;

using TSocketFactory = std::function<TSocketEntry(const TSocketPartSpec& partDesc)>;

// Families register the part that stands for their devices, by class code.
void RegisterSocketPart(const std::string& classCode, TSocketFactory factory);
bool HasSocketPart(const std::string& classCode);

// The virtual module's socket: holds one part matching the device being
// operated on, erased unless given an image.
class TVirtualSocket {
public:
  explicit TVirtualSocket(TVirtualModule& module) : Module(module) {}

  // Puts a fresh part for the device in the socket (registering its command
  // groups on the module). False with a reason when no part stands for the
  // class.
  bool Insert(const TSocketPartSpec& partDesc, std::string& error,
              const std::vector<std::uint8_t>* image = nullptr);
  void Remove();

  TTargetPart* Part() const { return Entry.Part.get(); }
  template <class T> T* PartAs() const { return dynamic_cast<T*>(Entry.Part.get()); }
  std::vector<std::uint8_t> Dump() const;
  // A fault of the part in the socket by its name; false with a reason.
  bool AddFault(const std::string& name, std::string& error);
  const TSocketEntry& Current() const { return Entry; }

private:
  TVirtualModule& Module;
  TSocketEntry Entry;
};
