#include "gui/os/ListHeader.h"

#include "gui/listbox2/ColumnLayout.h"
#include "gui/listbox2/DataType.h"
#include "gui/listbox2/ListBoxModel.h"

#include <QAbstractTableModel>

#include <mutex>
#include <vector>

namespace s::gui::os {

// The header's model: columns only, no rows; titles and alignments come from the list's model.
class ListHeaderColumns final : public QAbstractTableModel {
public:
    explicit ListHeaderColumns(listbox2::ListBoxModel& model)
        : m_model(model)
    {
    }
    int rowCount(const QModelIndex&) const override { return 0; }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_model.list().columnCount());
    }
    QVariant data(const QModelIndex&, int) const override { return {}; }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        const listbox2::DataType* column = m_model.list().column(section);
        if (orientation != Qt::Horizontal || !column)
            return {};
        if (role == Qt::DisplayRole) {
            std::u16string_view title = column->title();
            return QString::fromUtf16(title.data(), static_cast<qsizetype>(title.size()));
        }
        if (role == Qt::TextAlignmentRole) {
            switch (column->alignment()) {
            case listbox2::Alignment::Centre:
                return QVariant::fromValue(Qt::Alignment(Qt::AlignHCenter | Qt::AlignVCenter));
            case listbox2::Alignment::Right:
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            default:
                return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
            }
        }
        return {};
    }
    void changed()
    {
        beginResetModel();
        endResetModel();
    }

private:
    listbox2::ListBoxModel& m_model;
};

ListHeader::ListHeader(listbox2::ListBoxModel& model, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
    , m_model(model)
    , m_columns(new ListHeaderColumns(model))
{
    setModel(m_columns);
    setSectionsMovable(true);
    setSectionsClickable(true);
    setHighlightSections(false);
    setMinimumSectionSize(listbox2::ColumnLayout::minimumWidth);
    setStretchLastSection(false);
    connect(this, &QHeaderView::sectionMoved, this, [this] {
        if (!m_syncing)
            userMoved();
    });
    connect(this, &QHeaderView::sectionResized, this, [this](int logical, int, int newSize) {
        if (!m_syncing)
            userResized(logical, newSize);
    });
    connect(this, &QHeaderView::sectionClicked, this, [this](int logical) { m_model.headerClicked(logical); });
    sync();
}

ListHeader::~ListHeader()
{
    setModel(nullptr);
    delete m_columns;
}

void ListHeader::sync()
{
    m_syncing = true;
    std::vector<int32_t> order;
    std::vector<int32_t> widths;
    {
        std::scoped_lock lock(m_model.locker());
        m_columns->changed();
        order = m_model.columnLayout().order();
        widths = m_model.columnLayout().widths();
    }
    for (size_t logical = 0; logical < widths.size(); ++logical)
        resizeSection(static_cast<int>(logical), widths[logical]);
    for (size_t place = 0; place < order.size(); ++place) {
        int from = visualIndex(order[place]);
        if (from != static_cast<int>(place))
            moveSection(from, static_cast<int>(place));
    }
    fixLastShown();
    m_syncing = false;
}

void ListHeader::fixLastShown()
{
    int last = logicalIndex(count() - 1);
    for (int logical = 0; logical < count(); ++logical)
        setSectionResizeMode(logical, logical == last ? QHeaderView::Fixed : QHeaderView::Interactive);
}

void ListHeader::userMoved()
{
    std::vector<int32_t> order;
    for (int place = 0; place < count(); ++place)
        order.push_back(logicalIndex(place));
    m_model.userMovedColumns(order);
    m_syncing = true;
    fixLastShown();
    m_syncing = false;
}

void ListHeader::userResized(int logical, int newSize)
{
    m_model.userResizedColumn(logical, newSize);
}

}
