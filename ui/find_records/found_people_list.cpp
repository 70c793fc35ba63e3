#include "ui/find_records/found_people_list.h"

#include <algorithm>

#include <QHeaderView>
#include <QListView>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "ui/common/column_widths.h"
#include "ui/common/database_title.h"
#include "ui/find_records/found_people_delegate.h"
#include "ui/find_records/found_people_model.h"

CFoundPeopleList::CFoundPeopleList(QWidget* parent, CRecordFinder& finder)
    : QWidget(parent),
      header_(new QHeaderView(Qt::Horizontal, this)),
      list_(new QListView(this)),
      model_(new CFoundPeopleModel(this)) {
    header_->setObjectName(QStringLiteral("RecordsColumns"));
    auto* heads = new QStandardItemModel(0, CFoundPeopleModel::kColumnCount, header_);
    for (int column = 0; column < CFoundPeopleModel::kColumnCount; ++column)
        heads->setHeaderData(column, Qt::Horizontal, CFoundPeopleModel::ColumnHead(column));
    header_->setModel(heads);
    header_->setSectionsMovable(false);
    header_->setSectionsClickable(true);
    header_->setSortIndicatorShown(true);
    header_->setSortIndicator(-1, Qt::AscendingOrder);
    header_->setStretchLastSection(true);
    header_->setFocusPolicy(Qt::NoFocus);
    header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // One line of headings: as a scroll area the header would ask for room for scroll bars.
    header_->setFixedHeight(header_->sizeHint().height());

    list_->setObjectName(QStringLiteral("RecordsPeople"));
    list_->setAccessibleName(QStringLiteral("People found"));
    list_->setModel(model_);
    list_->setItemDelegate(new CFoundPeopleDelegate(header_, list_));
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    setFocusProxy(list_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header_);
    layout->addWidget(list_, 1);
    FitColumns({});

    connect(header_, &QHeaderView::sectionResized, list_->viewport(),
            [this]() { list_->viewport()->update(); });
    connect(model_, &CFoundPeopleModel::fetchWanted, &finder,
            [&finder](std::uint64_t generation, std::int64_t first, int count) {
                finder.Fetch(generation, first, count);
            });
    connect(&finder, &CRecordFinder::rowsFetched, this,
            [this](quint64 generation, qint64 first, const std::vector<CRecordFinder::Row>& rows,
                   const StoreError& error) {
                model_->AddPeople(generation, first, rows);
                if (!error.Failed() || generation != model_->Generation()) return;
                model_->StopFetching();
                emit rowsFailed(error);
            });
    connect(list_, &QAbstractItemView::doubleClicked, this, &CFoundPeopleList::personActivated);
    connect(header_, &QHeaderView::sectionClicked, this, &CFoundPeopleList::orderRequested);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CFoundPeopleList::selectionChanged);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CFoundPeopleList::selectionChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, &CFoundPeopleList::selectionChanged);
    connect(list_, &QWidget::customContextMenuRequested, this, [this]() { emit menuRequested(MenuPlace()); });
}

void CFoundPeopleList::SetPeople(std::uint64_t generation, std::int64_t count,
                                 std::vector<CRecordFinder::Row> rows) {
    model_->SetPeople(generation, count, std::move(rows));
}

void CFoundPeopleList::StopFetching() { model_->StopFetching(); }

int CFoundPeopleList::CurrentRow() const { return list_->currentIndex().row(); }

const CRecordFinder::Row* CFoundPeopleList::CurrentPerson() const { return model_->Person(CurrentRow()); }

bool CFoundPeopleList::OnPerson() const { return model_->Holds(CurrentRow()); }

void CFoundPeopleList::SelectPerson(int row) {
    if (!model_->Holds(row)) {
        list_->selectionModel()->clear();
        return;
    }
    const QModelIndex index = model_->index(row);
    list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    list_->scrollTo(index);
}

QPoint CFoundPeopleList::MenuPlace() const {
    const QRect row = list_->visualRect(list_->currentIndex());
    const QPoint at = row.isValid() ? row.bottomLeft() : QPoint(0, 0);
    return list_->viewport()->mapToGlobal(at);
}

void CFoundPeopleList::FitColumns(const std::vector<int>& codes) {
    codes_ = codes;
    const QFontMetrics metrics = list_->fontMetrics();
    const int margin = column_widths::Margin(*list_);
    // At least the heading; at most a share of the list, so that where the
    // query matched keeps a third of it or more. A share a column does not
    // need goes to the others, in order, so that a long database title is
    // whole in a narrower list (the facets beside it) while the names are short.
    const int room = std::max(list_->viewport()->width(), WantedWidth() / 2);
    // The titles of the databases of the people read; before any, of those looked in.
    int database = 0;
    int surname = 0;
    int given = 0;
    const std::vector<const CRecordFinder::Row*> read = model_->PeopleRead();
    for (const CRecordFinder::Row* person : read) {
        database = std::max(database, metrics.horizontalAdvance(DatabaseTitle(person->code)));
        surname = std::max(surname, metrics.horizontalAdvance(person->surname));
        given = std::max(given, metrics.horizontalAdvance(person->givenNames));
    }
    if (read.empty()) {
        for (int code : codes) database = std::max(database, metrics.horizontalAdvance(DatabaseTitle(code)));
    }
    struct Column {
        int column;
        int wanted;
        int share;
        int width;
    };
    // The surname keeps a band free for the seen mark.
    Column columns[] = {{CFoundPeopleModel::kDatabaseColumn, database + margin, 25, 0},
                        {CFoundPeopleModel::kSurnameColumn,
                         surname + CFoundPeopleDelegate::MarkBand(metrics) + margin, 18, 0},
                        {CFoundPeopleModel::kGivenColumn, given + margin, 24, 0}};
    int spare = room * 67 / 100;
    for (Column& one : columns) {
        const int heading =
            header_->fontMetrics().horizontalAdvance(CFoundPeopleModel::ColumnHead(one.column)) + 2 * margin;
        one.wanted = std::max(one.wanted, heading);
        one.width = std::max(heading, std::min(one.wanted, room * one.share / 100));
        spare -= one.width;
    }
    for (Column& one : columns) {
        const int more = std::max(0, std::min(spare, one.wanted - one.width));
        one.width += more;
        spare -= more;
        header_->resizeSection(one.column, one.width);
    }
}

void CFoundPeopleList::ShowOrder(int column, bool descending) {
    header_->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CFoundPeopleList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitColumns(codes_);
}

int CFoundPeopleList::WantedWidth() const {
    const int average = list_->fontMetrics().averageCharWidth();
    return column_widths::DatabaseColumn(*list_) + 32 * average + 64 * average +
           3 * column_widths::Margin(*list_);
}
