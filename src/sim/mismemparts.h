#pragma once

#include <cstdint>
#include <memory>
#include <string>

class TVirtualModule;
class TMisMemPart;

// Registers the command groups of the tmEEPROM_MIS module (0x17, 0x90, 0xA0,
// 0xB0, 0xC0) on a virtual module; they share one connect session.
void RegisterMisMemGroups(TVirtualModule& module);

// The virtual part for a catalogue entry of the miscellaneous serial memories
// by its class code ("m6m8", "cat6", "sdes", "cxso", "tcto") and capacity in
// bytes, erased; nullptr for another class.
std::shared_ptr<TMisMemPart> MakeMisMemPart(const std::string& classCode, std::uint32_t capacity);

// Registers the parts above with the virtual socket, each with the five groups.
void RegisterMisMemSocketParts();
