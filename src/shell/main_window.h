#pragma once

#include "data/data_paths.h"
#include "insert/insertion_controls.h"
#include "insert/insertion_engine.h"
#include "text/text_encoding.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QStringListModel;
class QTimer;

namespace qlq {

class DesktopServices;
class NextRandom;

// Form1: the tail list, the own tail, the three switches and the F8 engine.
class MainWindow : public QWidget, private InsertionControls {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 501;  // 7515 twips
    static constexpr int kClientHeight = 584; // 8760 twips

    MainWindow(DesktopServices& desktop, DataPaths paths, NextRandom& random,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Form_Load: skin, own tail, tail list, switches, in that order.
    void load();

    // The tail list as List1 holds it, and where it came from.
    QStringList tails() const;
    TextEncoding tailListEncoding() const { return tailListEncoding_; }
    const DataPaths& paths() const { return paths_; }
    // Empties List1 and fills it from the tail list file.
    void reloadTailList();

    InsertionEngine& engine() { return *engine_; }

signals:
    void editorRequested();     // 编辑内容
    void galleryRequested();    // 签名大全
    void helpRequested();       // 使用说明
    void backgroundRequested(); // 后台运行
    // Emitted once the unload sequence has saved the options, before the window goes.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void setFocusOrder();
    void connectHandlers();
    void applySwitch(QCheckBox* box, const QString& stored);
    void saveOptions();

    void Command15_LostFocus();
    void List1_Click(int row);
    void Check4_Click();
    void Command11_Click();
    void Command14_Click();
    void lockToggle(QPushButton* button, QPlainTextEdit* slot);
    void pasteInto(QPlainTextEdit* slot);

    // InsertionControls
    int rowCount() const override;
    QString rowText(int row) const override;
    bool randomOrder() const override;
    bool appendOwnTail() const override;
    bool sendAfterInsert() const override;
    QString ownTail() const override;
    void showComposed(const QString& text) override;

    DesktopServices& desktop_;
    DataPaths paths_;
    NextRandom& random_;
    TextEncoding tailListEncoding_ = TextEncoding::Gb18030;
    bool unloaded_ = false;

    QLabel* Picture1 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command8 = nullptr;
    QPushButton* Command9 = nullptr;
    QPushButton* Command10 = nullptr;
    QPushButton* Command11 = nullptr;
    QPushButton* Command12 = nullptr;
    QPushButton* Command13 = nullptr;
    QPushButton* Command14 = nullptr;
    QPushButton* Command15 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;
    QCheckBox* Check4 = nullptr;
    QListView* List1 = nullptr;
    QStringListModel* List1Model = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QPlainTextEdit* Text3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QTimer* Timer1 = nullptr;
    std::unique_ptr<InsertionEngine> engine_;
    QMetaObject::Connection focusConnection_;
};

} // namespace qlq
