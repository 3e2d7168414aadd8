#pragma once
// The value cells as the user edits them: for every grid row the text shown and the text of
// the set the controller last reported (the baseline). Front ends write the user's edits into
// it; a download stores and checks its texts; the change marks and the count of changed values
// come from the difference. The baseline keeps the blocks behind its texts, so a language
// switch shows the same set in the other language instead of marking every choice.
#include <string>
#include <vector>

#include "ControllerImage.h"
#include "ControllerKind.h"
#include "Texts.h"

namespace dt {

class EditSheet {
public:
    // Value-cell texts by grid row, without leading white space.
    using Cells = std::vector<std::string>;

    // Rows laid out for one kind of controller, with no values shown (a grid just built).
    void Layout(ControllerKind kind, int rows);
    // Every cell shown anew for a kind of controller (a read, an import, a language switch).
    // The baseline's texts follow with RelabelBaseline when the language changed.
    void Show(ControllerKind kind, const Cells& texts);
    // One cell as the user left it; its leading white space is dropped. False for a row
    // the sheet does not have.
    bool SetCell(int row, const std::string& text);

    const Cells& Texts() const { return shown_; }
    const std::string& Text(int row) const;
    int Rows() const { return static_cast<int>(shown_.size()); }
    // The kind of controller the rows are laid out for.
    ControllerKind Kind() const { return kind_; }
    bool ValuesShown() const { return valuesShown_; }

    // A read completed: the texts shown, in this language, are what the image holds.
    void TakeBaseline(const ControllerImage& image, Language language);
    bool HasBaseline() const { return baseline_.set; }
    // Whether the baseline's texts are in another language than this one.
    bool BaselineNeedsRelabel(Language language) const { return baseline_.set && baseline_.language != language; }
    // The image the baseline's texts show: now's, with the baseline's kind and blocks.
    ControllerImage BaselineImage(const ControllerImage& now) const;
    // The baseline's texts shown again in another language.
    void RelabelBaseline(const Cells& texts, Language language);
    // The controller's text of a row; null when there is no baseline to compare the shown
    // rows with.
    const std::string* Baseline(int row) const;
    // Rows whose shown text differs from the baseline, in row order.
    std::vector<int> ChangedRows() const;
    int ChangedCount() const { return static_cast<int>(ChangedRows().size()); }
    bool IsChanged(int row) const;

    // A download is sending the shown texts; they become the baseline once it is stored.
    void NoteSending(const ControllerImage& image, Language language);
    // The controller stored the download; false when no sending was noted.
    bool AdoptSent();
    // The controller refused it, or it was stopped: the baseline stays.
    void DropSent() { sending_ = Snapshot(); }

private:
    struct Snapshot {
        bool set = false;
        ControllerKind kind = ControllerKind::Standard;
        Language language = LANG_ENGLISH;
        ParameterBlock block;
        FocBlock focBlock;
        Cells texts;
    };
    Snapshot Capture(const ControllerImage& image, Language language) const;
    bool Comparable() const;

    Cells shown_;
    ControllerKind kind_ = ControllerKind::Standard;
    bool valuesShown_ = false;
    Snapshot baseline_;
    Snapshot sending_;
};

}  // namespace dt
