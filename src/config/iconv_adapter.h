#pragma once

#include <cstddef>

// The least of iconv that this program needs, over the platform's code pages: the
// stateless encodings "GBK" (code page 936) and "UTF-8", with iconv's contract.
// Conversion stops before an invalid (EILSEQ) or incomplete (EINVAL) input sequence or
// when the next character does not fit (E2BIG), pointers advanced past what was done.
struct IconvConverter;
using iconv_t = IconvConverter*;

// (iconv_t)-1 with errno EINVAL for any other encoding name.
iconv_t iconv_open(const char* toCode, const char* fromCode);
// Returns 0 (no irreversible conversions), or (size_t)-1 with errno set. A null input
// (or *inbuf null) resets the shift state, of which these encodings have none.
size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft);
int iconv_close(iconv_t cd);
