// Applying and removing reprint numbers in the identification lines of a reference file.

#include "refstore/ReferenceFile.h"
#include "storage/FileRewrite.h"
#include "storage/WriteLock.h"
#include "text/Catalogue.h"
#include "text/FileNames.h"
#include "text/Progress.h"
#include "text/StringPrimitives.h"

#include <vector>

namespace cvx {

namespace {

std::string JoinWords(const std::vector<std::string_view>& words) {
    std::string out;
    for (std::string_view w : words) {
        if (!out.empty()) {
            out += ' ';
        }
        out += w;
    }
    return out;
}

// The identification line with the reprint number put in place of the first word of the same
// pattern (later ones dropped), or in front when there is none.
std::string ApplyReprint(std::string_view idLine, const std::string& number,
                         const std::string& pattern) {
    if (TrimView(idLine) == kUnknownField) {
        return number;
    }
    std::vector<std::string_view> words;
    bool placed = false;
    for (std::string_view w : BlankSeparatedWords(idLine)) {
        if (DigitPattern(w) != pattern) {
            words.push_back(w);
        } else if (!placed) {
            words.push_back(number);
            placed = true;
        }
    }
    if (!placed) {
        words.insert(words.begin(), number);
    }
    return JoinWords(words);
}

std::string RemoveReprint(std::string_view idLine, const std::string& pattern) {
    std::vector<std::string_view> words;
    for (std::string_view w : BlankSeparatedWords(idLine)) {
        if (DigitPattern(w) != pattern) {
            words.push_back(w);
        }
    }
    return JoinWords(words);
}

} // namespace

Outcome TReferenceFile::RewriteReprintNumbers(bool apply, ReprintScope scope,
                                              const std::string& reprintNumber) {
    if (!open_ || RefCount() == 0) {
        return Outcome::Ok();
    }
    const int current = view_.Current();
    WriteLock lock;
    if (Outcome r = BeginWrite({0, current, RefCount() - 1}, lock); !r) {
        return r;
    }
    const int n = RefCount();
    auto inScope = [&](int i) {
        return present_.Test(i) && (scope == ReprintScope::AllPresent ||
                                    (scope == ReprintScope::Current && i == current) ||
                                    (scope == ReprintScope::Tagged && tagged_.Test(i)));
    };
    int expected = 0;
    for (int i = 0; i < n; ++i) {
        expected += inScope(i) ? 1 : 0;
    }
    ShowStatus(
        Msg(apply ? msg::FileOpen::ApplyingReprintNumbers : msg::FileOpen::RemovingReprintNumbers));
    if (progress_) {
        progress_->SetDetail("0");
        progress_->SetProgress(0);
    }
    const std::string pattern = DigitPattern(reprintNumber);
    std::string number = reprintNumber;
    int changed = 0;
    int lastChanged = -1;

    std::string bytes;
    Outcome written = RewriteBlocks(lock, [&](int i, WritableFile& out, ReadBuffer& buffer) {
        if (progress_ && progress_->AbortRequested()) {
            return Outcome::Aborted();
        }
        if (!reader_->ReadRaw(i, bytes, &buffer)) {
            return Outcome::Error(Msg(msg::FileOpen::UnableToOpen, DisplayPath(name_)));
        }
        std::string block = TrimRightBlanks(bytes);
        if (inScope(i)) {
            const std::size_t lineEnd = std::min(block.find("\r\n"), block.size());
            const std::string idLine = TrimBlanks(std::string_view(block).substr(0, lineEnd));
            const std::string newId =
                apply ? ApplyReprint(idLine, number, pattern) : RemoveReprint(idLine, pattern);
            block.replace(0, lineEnd, " " + newId);
            ++changed;
            lastChanged = i;
            if (apply) {
                number = IncrementNumber(number);
            }
            if (progress_) {
                progress_->SetDetail(std::to_string(changed));
            }
        }
        block += "\r\n\r\n";
        if (Outcome r = out.Append(block); !r) {
            return r;
        }
        // Whatever stood between this block and the next stays as it was.
        const MapEntry e = reader_->Entry(i);
        const std::uint64_t gap = reader_->Span(i) - e.length;
        if (Outcome r = reader_->CopyTo(std::uint64_t{e.offset} + e.length, gap, out); !r) {
            return r;
        }
        if (progress_ && i % 12 == 0) {
            progress_->SetProgress(Permille(i, n));
        }
        return Outcome::Ok();
    });
    if (progress_) {
        progress_->SetProgress(0);
    }
    if (written.aborted()) {
        ShowStatus(Msg(apply ? msg::FileOpen::ApplyingReprintNumbersAborted
                             : msg::FileOpen::RemovingReprintNumbersAborted));
        return written;
    }
    if (!written) {
        return WriteFailed(written);
    }
    if (Outcome r = EndWrite(lock, true); !r) {
        return r;
    }
    if (changed != expected && apply) {
        return Outcome::Error(Msg(msg::FileOpen::ApplyReprintNumberFailed));
    }
    if (changed == 1) {
        const int pos = AbsoluteToDisplay(lastChanged);
        ShowStatus(DisplayKind() == DisplayOrder::Original
                       ? Msg(apply ? msg::FileOpen::AppliedReprintNumber
                                   : msg::FileOpen::RemovedReprintNumber,
                             std::to_string(pos + 1))
                       : Msg(apply ? msg::FileOpen::AppliedReprintNumberAbsolute
                                   : msg::FileOpen::RemovedReprintNumberAbsolute,
                             std::to_string(pos + 1), std::to_string(lastChanged + 1)));
    } else {
        ShowStatus(Msg(apply ? msg::FileOpen::AppliedReprintNumbersAll
                             : msg::FileOpen::RemovedReprintNumbersAll,
                       std::to_string(changed)));
    }
    return Outcome::Ok();
}

} // namespace cvx
