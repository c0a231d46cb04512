#pragma once
// Compound files (the structured storage of binary Office documents) as far as completion has to
// tell them apart: a Word 97 document, with or without a password, and an Office Open XML
// document that a password turned into a compound file. Only the header, the allocation table
// and the directory are read, each sector within the bytes given; nothing is expanded.

#include <string_view>

namespace cvx {

enum class CompoundContent {
    Other,            // not a compound file, damaged, or of another program
    WordDocument,     // a Word 97 document (its WordDocument stream)
    EncryptedWord,    // a Word 97 document whose file information block says it is encrypted
    EncryptedPackage, // an encrypted Office Open XML (or OpenDocument) package
};

// True when the bytes start with the compound-file signature (D0 CF 11 E0 A1 B1 1A E1).
bool LooksLikeCompoundFile(std::string_view bytes);

// What the compound file held whole in `bytes` is.
CompoundContent InspectCompoundFile(std::string_view bytes);

} // namespace cvx
