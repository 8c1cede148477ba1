#include "app/helpviewer.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vorn {

HelpViewer::HelpViewer(QString folder, QWidget* parent) : QDialog(parent), folder_(std::move(folder)) {
    setObjectName("helpViewer");
    setWindowTitle("Vorn 帮助");
    setModal(false);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("helpBrowser");
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({folder_});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(720, 640);
}

bool HelpViewer::Open(Page page) {
    const QString file = QDir(folder_).filePath(page == Page::Contents ? "index.html" : "search.html");
    if (!QFileInfo::exists(file)) return false;
    browser_->setSource(QUrl::fromLocalFile(file));
    return true;
}

}  // namespace vorn
