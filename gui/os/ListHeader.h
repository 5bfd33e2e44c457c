#pragma once

#include <QHeaderView>

namespace s::gui::listbox2 {
class ListBoxModel;
}

namespace s::gui::os {

class ListHeaderColumns;

// The list's header: one section per column of the model, in the model's display order and
// widths. The user may move sections and resize every one but the one shown last (which reaches
// the list's right edge), never below 10 pixels; clicks sort. What the user does goes back to the
// model, which keeps the order and widths the settings store. GUI thread only.
class ListHeader final : public QHeaderView {
public:
    ListHeader(listbox2::ListBoxModel& model, QWidget* parent);
    ~ListHeader() override;

    // Takes the columns, titles, order and widths from the model again.
    void sync();

private:
    void userMoved();
    void userResized(int logical, int newSize);
    void fixLastShown();

    listbox2::ListBoxModel& m_model;
    ListHeaderColumns* m_columns;
    bool m_syncing { false };
};

}
