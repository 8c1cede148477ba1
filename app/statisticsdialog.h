#pragma once

#include <QDialog>
#include <QString>

#include <functional>

#include "app/statistics.h"
#include "display/language.h"

class QTableWidget;

namespace vorn {

// The record of finished games, one row per computer level and one for
// network games, with a button that clears it after asking.
class StatisticsDialog : public QDialog {
    Q_OBJECT
  public:
    // ask answers the question before clearing; the window passes its prompter.
    StatisticsDialog(QString settingsPath, std::function<bool(const QString&)> ask, QWidget* parent = nullptr,
                     const Language& words = SourceLanguage());

    QTableWidget* table() const { return table_; }
    void Clear();

  private:
    void Fill();

    const Language& words_;
    QString path_;
    std::function<bool(const QString&)> ask_;
    Statistics stats_;
    QTableWidget* table_ = nullptr;
};

}  // namespace vorn
