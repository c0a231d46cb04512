#pragma once
// What a reference window needs from the main window that holds it: the status line with its
// lanes, the global format and the flags that shape copied text, the history lists, the search
// dialog of the program, and the other
// reference windows (a window that receives references is disabled while they are written).

#include "settings/HistoryLists.h"

#include <string>

namespace cvx {

class RefWinForm;
class StatusLine;
class TagDlg;
class TFormatDesc;

class RefWinServices {
public:
    virtual ~RefWinServices() = default;

    virtual StatusLine& Status() = 0;
    virtual const TFormatDesc& GlobalFormat() const = 0;
    // Reference windows render the header through the global format.
    virtual bool ApplyFormat() const = 0;
    // Copied text is converted to LaTeX.
    virtual bool LatexEnabled() const = 0;
    virtual HistoryLists& History() = 0;
    // The one search dialog of the program.
    virtual TagDlg& SearchDialog() = 0;
    // The reference window that shows a file; null when none does.
    virtual RefWinForm* WindowOfFile(const std::string& name) = 0;
};

} // namespace cvx
