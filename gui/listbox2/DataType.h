#pragma once

#include "foundation/base/IObject.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"
#include "formats/lang/ILangListener.h"
#include "gui/events/IEventListener.h"
#include "gui/listbox2/CellTypes.h"

#include <string_view>

namespace s::lang {
class Localizer;
}

namespace s::gui::listbox2 {

class List;

// One column of a list: its title (literal or a language text that follows the language), how
// its cells align, how wide it starts, and how its cells sort.
//
// A column that is in a list tells the list about every change that matters to it (a new title
// for the header, a new direction or comparator for the sort).
class DataType final : public base::IObject
    , public thread::IPoolable
    , public events::IEventListener
    , public lang::ILangListener {
    S_POOLED_CLASS(DataType, "s_gui_listbox2_DataType")
public:
    DataType() = default;
    ~DataType() override;

    int32_t columnIndex() const { return m_columnIndex; }

    std::u16string_view title() const { return m_title.view(); }
    void setTitle(std::u16string_view title);
    int32_t titleId() const { return m_titleId; }
    // Takes the title from the localizer now and again at every language change. -1 (or no
    // localizer) stops following.
    void setTitleId(lang::Localizer* localizer, int32_t titleId);

    Alignment alignment() const { return m_alignment; }
    void setAlignment(Alignment alignment) { m_alignment = alignment; }
    // Pixels; 0 means the platform's default width.
    int32_t width() const { return m_width; }
    void setWidth(int32_t width) { m_width = width; }

    bool isSortable() const { return m_sortable; }
    void setSortable(bool sortable);
    Comparator comparator() const { return m_comparator; }
    void setComparator(Comparator comparator);
    bool isAscending() const { return m_ascending; }
    void setAscending(bool ascending);

    bool isEditable() const { return m_editable; }
    void setEditable(bool editable) { m_editable = editable; }
    bool showsFileIcon() const { return m_showsFileIcon; }
    void setShowsFileIcon(bool shows) { m_showsFileIcon = shows; }
    bool isCheckColumn() const { return m_checkColumn; }
    void setCheckColumn(bool check) { m_checkColumn = check; }
    bool isTreeColumn() const { return m_treeColumn; }
    void setTreeColumn(bool tree) { m_treeColumn = tree; }
    bool isButtonColumn() const { return m_buttonColumn; }
    void setButtonColumn(bool button) { m_buttonColumn = button; }

    // Code 0 from the language service: a new language.
    void handle(base::IObject* sender, int32_t code) override;
    void languageChanged(lang::Localizer& localizer) override;

    void reset() override;

private:
    friend class List;

    void changed(bool affectsSort);

    int32_t m_columnIndex { -1 };
    List* m_list { nullptr };
    str::strbuffer::StrBuffer m_title;
    int32_t m_titleId { -1 };
    lang::Localizer* m_localizer { nullptr };
    Alignment m_alignment { Alignment::Left };
    int32_t m_width { 0 };
    bool m_sortable { false };
    Comparator m_comparator { nullptr };
    bool m_ascending { true };
    bool m_editable { false };
    bool m_showsFileIcon { false };
    bool m_checkColumn { false };
    bool m_treeColumn { false };
    bool m_buttonColumn { false };
};

}
