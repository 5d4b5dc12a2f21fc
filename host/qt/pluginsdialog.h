#pragma once

#include <QDialog>

class MainFrame;
class QPushButton;
class QTreeWidget;

/// The "Plug-ins" dialog: lists each plug-in's menu text, version and file, and uninstalls
/// the chosen one after the plug-in's own confirmation.
class PluginsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PluginsDialog(MainFrame *frame);

private:
    void fill();
    void uninstallCurrent();

    MainFrame *m_frame;
    QTreeWidget *m_list;
    QPushButton *m_uninstall;
};
