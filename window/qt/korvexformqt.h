#pragma once

#include "window/formview.h"

#include <QDialog>
#include <memory>

class TfrmKorvex;

namespace Ui {
class TfrmKorvex;
}

/**
 * The script window in Qt Widgets, laid out by the Designer file "korvexform.ui": a dialog
 * that draws what its TfrmKorvex decides and forwards every click and key to it.
 */
class KorvexFormQt : public QDialog, public FormView
{
    Q_OBJECT

public:
    /// The window of @p form under @p parent (none: a top-level window with no owner).
    KorvexFormQt(TfrmKorvex &form, platform::WindowHandle parent);
    ~KorvexFormQt() override;

    platform::WindowHandle handle() const override { return m_handle; }
    platform::Rect frameRect() override;
    void moveTo(int left, int top) override;
    bool isShown() const override { return isVisible(); }
    void runModal() override;
    void endModal() override;
    bool selectionOnly() const override;
    void setSelectionOnly(bool checked) override;
    void setScriptNames(const std::vector<std::string> &names) override;
    std::optional<std::string> chosenScriptName() const override;
    LineList scriptLines(platform::TextCoding coding) const override;
    std::string scriptText(platform::TextCoding coding) const override;
    void setScriptText(const std::string &text, platform::TextCoding coding) override;
    void showRunState(RunState state, const std::string &text) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TfrmKorvex &m_form;
    std::unique_ptr<Ui::TfrmKorvex> ui;
    platform::WindowHandle m_handle = nullptr;
};
