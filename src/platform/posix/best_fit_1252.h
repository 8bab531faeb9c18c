// The best-fit narrowing of Windows-1252: for a UTF-16 code unit that the
// code page lacks, the close byte that the platform's conversion gives it
// (U+0100 'A', U+0141 'L', U+FF21 'A'), or '?' when it has none. The table is
// generated from the platform's own conversion by scripts/gen-best-fit-1252.
#pragma once

namespace tarn {

char BestFit1252(char16_t unit);

}  // namespace tarn
