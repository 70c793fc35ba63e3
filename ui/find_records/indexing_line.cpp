#include "ui/find_records/indexing_line.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "browse/record_text/search_messages.h"
#include "ui/common/cp1252_qt.h"

CIndexingLine::CIndexingLine(QWidget* parent)
    : QWidget(parent),
      label_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      button_(new QPushButton(this)) {
    setObjectName(QStringLiteral("RecordsIndexing"));
    label_->setObjectName(QStringLiteral("RecordsIndexingText"));
    label_->setWordWrap(true);
    bar_->setObjectName(QStringLiteral("RecordsIndexingBar"));
    bar_->setAccessibleName(QStringLiteral("Word index made"));
    bar_->setRange(0, 100);
    button_->setObjectName(QStringLiteral("RecordsIndexingButton"));
    button_->setAutoDefault(false);
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(label_, 1);
    line->addWidget(bar_);
    line->addWidget(button_);
    hide();
    connect(button_, &QPushButton::clicked, this, [this]() {
        if (!waiting_.empty())
            emit cancelRequested();
        else
            emit makeRequested();
    });
}

void CIndexingLine::Show(const std::vector<int>& waiting, const std::vector<int>& declined) {
    waiting_ = waiting;
    if (!waiting.empty()) {
        label_->setText(cp1252::ToQString(search_messages::MakingWordIndex(waiting).c_str()));
        bar_->show();
        button_->setText(QStringLiteral("Cancel"));
        button_->setAccessibleName(QStringLiteral("Cancel making the word index"));
    } else if (!declined.empty()) {
        label_->setText(cp1252::ToQString(search_messages::WordIndexNotMade(declined).c_str()));
        bar_->hide();
        button_->setText(QStringLiteral("Make In&dex"));
        button_->setAccessibleName(QString());
    }
    setVisible(!waiting.empty() || !declined.empty());
}

bool CIndexingLine::Waits(int code) const {
    return std::find(waiting_.begin(), waiting_.end(), code) != waiting_.end();
}

void CIndexingLine::Progress(int code, qint64 done, qint64 total, int waiting) {
    if (!Waits(code) || total <= 0) return;
    const int percent = static_cast<int>(std::min<qint64>(100, done * 100 / total));
    const QString text =
        cp1252::ToQString(search_messages::MakingWordIndexProgress(code, percent, waiting).c_str());
    bar_->setValue(percent);
    if (label_->text() != text) label_->setText(text);
}
