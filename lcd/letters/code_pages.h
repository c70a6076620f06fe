// The high half of the Windows code pages whose letters the plug-in can
// show: which Unicode character each byte from 0x80 up stands for.
#pragma once

enum { CODE_PAGE_HIGH_BYTES = 128 };

// The Unicode characters of bytes 0x80-0xFF in code page codePage (as
// GetACP names it), 0 for a byte the code page leaves undefined; nullptr
// for a code page outside the tables.
const unsigned short *codePageHighHalf(int codePage);
