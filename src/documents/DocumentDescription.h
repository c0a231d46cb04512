#pragma once
// The readable description of one document definition, from which the build compiles the
// library file the program ships (data/documents, tools/document-library-compiler):
//
//   citavox-document 1
//   name              "Rich Text Format (RTF)"
//   extension         "rtf"
//   bold              "{\\b "  "}"
//   ...               (italic, subscript, bold-subscript, bold-superscript, superscript,
//                      underline: an on and an off code each)
//   greek             ""
//   line-break        "\\par "
//   tab               "\\tab "
//   outdent           "\\par\\fi-720\\li720 "
//   char E9           "\\'e9"        # é
//
// Quoted texts are bytes: printable ASCII as written, everything else as \xNN; \\ and \" stand for
// a backslash and a double quote. Every setting appears once and every character 80..FE has one
// "char" line. A "#" outside quotes starts a comment.

#include "documents/DocumentLibrary.h"
#include "text/Outcome.h"

#include <string_view>

namespace cvx {

// Compiles a description; on failure the message names the line and `definition` is unchanged.
Outcome CompileDocumentDefinition(std::string_view text, TDocumentDefinition& definition);

} // namespace cvx
