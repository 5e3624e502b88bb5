#pragma once

// Registers the Microwire ("miwi", "miws", "miw7", "s-29") and SPI ("spis",
// "m25p", "m350") parts with the virtual socket, each with the firmware of
// its command group (0x80 or 0x60).
void RegisterMwSpiSocketParts();
