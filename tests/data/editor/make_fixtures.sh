#!/bin/sh
# Regenerates the data-file fixtures with the real tools (binutils objcopy and
# srecord srec_cat). Each text file F comes with F.bin: the tool's own binary
# output of F, starting at F's lowest address (the base in the tests' table).
set -eu
cd "$(dirname "$0")"

# 600 bytes holding every byte value, the same on every run.
python3 -c 'import sys; sys.stdout.buffer.write(bytes((i * 37 + 11) % 256 for i in range(600)))' > image.bin

HDR="-header=kvprog fixture"

# objcopy: 16 bytes per record; segment records (02) below 1 MiB.
objcopy -I binary -O ihex image.bin objcopy.hex
objcopy -I binary -O ihex --change-addresses 0xFFC0 image.bin objcopy_offset.hex
objcopy -I binary -O srec --srec-forceS3 image.bin objcopy.s37
objcopy -I binary -O srec --change-addresses 0x1FF80 image.bin objcopy_offset.s28

# srec_cat: 32 bytes per record; linear address records (04); S5 record counts.
srec_cat image.bin -binary "$HDR" -o srec_cat.hex -intel
srec_cat image.bin -binary -offset 0x2FFF0 "$HDR" -o srec_cat_offset.hex -intel
srec_cat image.bin -binary "$HDR" -o srec_cat.s19 -motorola -address-length=2
srec_cat image.bin -binary -offset 0x123456 "$HDR" -o srec_cat_offset.mot -motorola -address-length=4

binary_of() { # file format base
  srec_cat "$1" "$2" -offset "-$3" -o "$1.bin" -binary
}
binary_of objcopy.hex -intel 0
binary_of objcopy_offset.hex -intel 0xFFC0
binary_of objcopy.s37 -motorola 0
binary_of objcopy_offset.s28 -motorola 0x1FF80
binary_of srec_cat.hex -intel 0
binary_of srec_cat_offset.hex -intel 0x2FFF0
binary_of srec_cat.s19 -motorola 0
binary_of srec_cat_offset.mot -motorola 0x123456
# objcopy's own binary output of its zero-based files, for a second opinion.
objcopy -I ihex -O binary objcopy.hex objcopy.hex.objcopy.bin
objcopy -I srec -O binary objcopy.s37 objcopy.s37.objcopy.bin
