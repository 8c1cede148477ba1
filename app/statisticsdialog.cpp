#include "app/statisticsdialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/texts.h"
#include "cards/options.h"

namespace vorn {

namespace {
struct Row {
    int key;
    const char* caption;
};
// A new computer level is one more row here.
constexpr Row kRows[] = {
    {0, texts::kStatsLevelHigh},
    {1, texts::kStatsLevelMedium},
    {2, texts::kStatsLevelLow},
    {kExpertLevel, texts::kStatsLevelExpert},
    {Statistics::kNetwork, texts::kStatsNetwork},
};
}  // namespace

StatisticsDialog::StatisticsDialog(QString settingsPath, std::function<bool(const QString&)> ask,
                                   QWidget* parent, const Language& words)
    : QDialog(parent), words_(words), path_(std::move(settingsPath)), ask_(std::move(ask)) {
    setObjectName("frmStatistics");
    setWindowTitle(words_.Tr(texts::kStatsTitle));
    table_ = new QTableWidget(this);
    table_->setObjectName("tblStatistics");
    table_->setAccessibleName(words_.Tr(texts::kStatsTitle));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setColumnCount(6);
    QStringList columns;
    for (const char* column : {texts::kStatsPlayed, texts::kStatsWon, texts::kStatsLost,
                               texts::kStatsLostPerGame, texts::kStatsLongest, texts::kStatsCurrent})
        columns << words_.Tr(column);
    table_->setHorizontalHeaderLabels(columns);
    table_->setRowCount(int(std::size(kRows)));
    QStringList rowNames;
    for (const Row& r : kRows) rowNames << words_.Tr(r.caption);
    table_->setVerticalHeaderLabels(rowNames);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* clear = buttons->addButton(words_.Tr(texts::kStatsClear), QDialogButtonBox::ResetRole);
    clear->setObjectName("cmdClear");
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName("cmdClose");
    connect(clear, &QPushButton::clicked, this, [this] {
        if (ask_(words_.Tr(texts::kStatsClearQuestion))) Clear();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    stats_ = Statistics::Load(path_);
    Fill();
    // As wide as the table's words need, so no column hides behind a scroll bar.
    const int width = table_->verticalHeader()->sizeHint().width() + table_->horizontalHeader()->length() +
                      2 * table_->frameWidth() + layout->contentsMargins().left() +
                      layout->contentsMargins().right();
    const int dialogWidth = std::max(640, width + 24);
    // What the dialog has beyond the words goes to the columns in even shares;
    // as tall as the rows, with no empty strip beneath them.
    QHeaderView* header = table_->horizontalHeader();
    const int extra = (dialogWidth - width - 24) / table_->columnCount();
    header->setSectionResizeMode(QHeaderView::Interactive);
    for (int c = 0; c < table_->columnCount(); ++c) header->resizeSection(c, header->sectionSize(c) + extra);
    table_->setFixedHeight(header->sizeHint().height() + table_->verticalHeader()->length() +
                           2 * table_->frameWidth());
    resize(dialogWidth, sizeHint().height());
}

void StatisticsDialog::Clear() {
    stats_.Clear();
    stats_.Save(path_);
    Fill();
}

void StatisticsDialog::Fill() {
    for (int row = 0; row < int(std::size(kRows)); ++row) {
        const GameRecord r = stats_.Get(kRows[row].key);
        const QString cells[6] = {QString::number(r.played),        QString::number(r.won),
                                  QString::number(r.lostPoints),    QString::number(r.LostPerGame(), 'f', 1),
                                  QString::number(r.longestStreak), QString::number(r.currentStreak)};
        for (int c = 0; c < 6; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, c, item);
        }
    }
}

}  // namespace vorn
