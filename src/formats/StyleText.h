#pragma once
// The readable description of a format: one text file per style, which a person can write and
// review, compiled into the record of a ".for" file and decompiled from it.
//
//   citavox-format 1
//
//   [citations]
//   short-form          defined
//   ...
//   [journal long]
//   order               Authors Year Title Journal Volume PageFirst PageLast
//   authors             initials surname-first max 6 keep 3
//       et-al           ", et al."
//   field Year          before "("  after ") "  missing " (?) "
//
// data/formats/README.md describes every setting. The text is UTF-8; quoted texts are converted
// to code page 1252 and may hold markup codes ("#I") and the escapes \" \\ \xNN.
// DecompileFormat writes the canonical form: every setting once, in a fixed order, texts only
// when they are not empty. CompileFormat also accepts other orders, omitted settings (the
// defaults of a reset format; omitted texts are empty) and comment lines beginning with "#",
// and DecompileFormat(CompileFormat(x)) == x for every description in canonical form.

#include "formats/FormatDesc.h"
#include "text/Outcome.h"

#include <string>
#include <string_view>

namespace cvx {

// The canonical description of a record (UTF-8).
std::string DecompileFormat(const FormatRecord& record);

// Compiles a description; on failure the message names the line and `record` is unchanged.
Outcome CompileFormat(std::string_view text, FormatRecord& record);

} // namespace cvx
