#pragma once

#include "foundation/thread/Pool.h"
#include "gui/Component.h"
#include "gui/listbox2/ListBoxModel.h"
#include "gui/os/Bound.h"
#include "gui/os/FileIconCache.h"
#include "gui/os/ListCellPainter.h"
#include "gui/os/UiExecutor.h"

#include <functional>
#include <memory>

namespace s::gui::os {

class ListHeader;
class ListView;

// The toolkit's multi-column list. Its model (columns, rows, selection, events; see
// listbox2::ListBoxModel) works before the list is created and from any thread; once created,
// every change runs on the GUI thread and the list repaints what changed. Events go to the
// model's listeners with this list as sender.
class ListBox2 : public Bound<Component> {
    S_POOLED_CLASS(ListBox2, "s_gui_os_ListBox2")
public:
    // Where the context menu opens (screen pixels); the menu itself is the hook's business.
    using ContextMenuHook = std::function<void(int32_t screenX, int32_t screenY)>;

    ListBox2();
    ~ListBox2() override;

    listbox2::ListBoxModel& model() { return *m_model; }
    const listbox2::ListBoxModel& model() const { return *m_model; }

    // The operations the program uses most, as on the model.
    listbox2::DataType* addColumnById(lang::Localizer* localizer, int32_t titleId, int32_t width,
        listbox2::Alignment alignment, bool sortable, listbox2::Comparator comparator, bool ascending,
        bool showsFileIcon = false)
    {
        return m_model->addColumnById(localizer, titleId, width, alignment, sortable, comparator, ascending, showsFileIcon);
    }
    bool appendRow(listbox2::Record* row) { return m_model->appendRow(row); }
    int32_t getRowCount() const { return m_model->getRowCount(); }
    int32_t getSelectedCount() const { return m_model->getSelectedCount(); }
    void deselectAll() { m_model->deselectAll(); }
    bool removeAndReleaseRow(listbox2::Record* row, listbox2::RowId id) { return m_model->removeAndReleaseRow(row, id); }
    void addListener(int32_t code, events::IEventListener* listener) { m_model->addListener(code, listener); }

    void setContextMenu(ContextMenuHook hook);
    void setMultiSelect(bool on) { m_model->setMultiSelect(on); }
    void setFullRowSelect(bool on);
    void setAutoSortAfterAppend(bool on) { m_model->setAutoSortAfterAppend(on); }
    void setAlternateRows(bool on);
    void setAlternateRowColour(uint8_t r, uint8_t g, uint8_t b);
    void setBorder(bool on);
    // Qt's own scroll bars when needed, or none (a ListBoxEx shows its own).
    void setScrollBars(bool vertical, bool horizontal);
    // Cells whose formatter is one of these are drawn as a progress bar or in the job state's
    // colour.
    void setProgressFormatter(listbox2::Formatter formatter) { m_progressFormatter = formatter; }
    void setStatusFormatter(listbox2::Formatter formatter) { m_statusFormatter = formatter; }
    listbox2::Formatter progressFormatter() const { return m_progressFormatter; }
    listbox2::Formatter statusFormatter() const { return m_statusFormatter; }

    // GUI thread.
    ListView* view() const;
    ListHeader* getHeader() const;
    int32_t rowHeight() const;
    // The list's own painting keeps the options (alternate rows, full-row selection, colours);
    // another painter, a drawer say, may take the cells over (not owned; null gives them back).
    ListCellPainter& cellPainter() { return m_painter; }
    void setCellPainter(const IListCellPainter* painter);
    const IListCellPainter& activeCellPainter() const { return m_customPainter ? *m_customPainter : m_painter; }
    FileIconCache& iconCache() { return m_icons; }
    const ContextMenuHook& contextMenuHook() const { return m_contextMenu; }

    void reset() override;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void afterCreate() override;
    void beforeDestroy() override;

private:
    void applyOptions();

    std::unique_ptr<listbox2::ListBoxModel> m_model;
    UiExecutor m_executor;
    ListCellPainter m_painter;
    const IListCellPainter* m_customPainter { nullptr };
    FileIconCache m_icons;
    ContextMenuHook m_contextMenu;
    listbox2::Formatter m_progressFormatter { nullptr };
    listbox2::Formatter m_statusFormatter { nullptr };
    bool m_border { true };
    bool m_verticalBar { true };
    bool m_horizontalBar { true };
};

}
