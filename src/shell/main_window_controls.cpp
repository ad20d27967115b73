// The main window's controls, built from their table, and what the table cannot say.
#include "shell/main_window_controls.h"

#include "shell/main_window.h"
#include "shell/tail_list_model.h"
#include "shell/tail_list_view.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <limits>

namespace qlq {
namespace {

namespace names = main_window_names;

template <typename W> W* control(const QWidget& window, const char* name) {
    return window.findChild<W*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

} // namespace

void MainWindow::createControls() {
    for (const ControlDesign& design : main_window_controls::kControls) {
        if (design.kind == ControlKind::List)
            designControl(new TailListView(this), design);
        else
            createControl(this, design);
    }
    ownTailEdit_ = control<QLineEdit>(*this, names::kOwnTail);
    ownTailEdit_->setMaxLength(std::numeric_limits<int>::max()); // the file's value, whole
    editListButton_ = control<QPushButton>(*this, names::kEditList);
    randomOrderBox_ = control<QCheckBox>(*this, names::kRandomOrder);
    sendAfterInsertBox_ = control<QCheckBox>(*this, names::kSendAfterInsert);
    appendOwnTailBox_ = control<QCheckBox>(*this, names::kAppendOwnTail);

    tailListView_ = control<TailListView>(*this, names::kTailList);
    tailListModel_ = new TailListModel(this);
    tailListView_->setModel(tailListModel_);
    tailListView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tailListView_->setSelectionMode(QAbstractItemView::SingleSelection);
    tailListView_->setUniformItemSizes(true); // 100 000 rows lay out at once

    galleryButton_ = control<QPushButton>(*this, names::kGallery);
    helpButton_ = control<QPushButton>(*this, names::kHelp);
    homePageButton_ = control<QPushButton>(*this, names::kHomePage);
    backgroundButton_ = control<QPushButton>(*this, names::kBackground);
    composedTextBox_ = control<QLineEdit>(*this, names::kComposedText);
    showRandomSwitchButton_ = control<QPushButton>(*this, names::kShowRandomSwitch);
    drawNumberButton_ = control<QPushButton>(*this, names::kDrawNumber);
    for (std::size_t i = 0; i < quickSlots_.size(); ++i) {
        const names::QuickSlotNames& name = names::kQuickSlots[i];
        quickSlots_[i] = {control<QPlainTextEdit>(*this, name.text),
                          control<QPushButton>(*this, name.lock),
                          control<QPushButton>(*this, name.paste)};
    }
    chainTabOrder(*this, main_window_controls::kControls);

    // Never enabled by anything; kept so the window holds every control it was designed with.
    auto* unusedTimer = new QTimer(this);
    unusedTimer->setObjectName(QString::fromLatin1(names::kUnusedTimer));
    unusedTimer->setInterval(1000);
}

} // namespace qlq
