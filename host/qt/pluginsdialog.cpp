#include "pluginsdialog.h"

#include "editorview.h"
#include "mainframe.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

PluginsDialog::PluginsDialog(MainFrame *frame) : QDialog(frame), m_frame(frame)
{
    setWindowTitle(tr("Plug-ins"));
    setObjectName(QStringLiteral("pluginsDialog"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("pluginList"));
    m_list->setHeaderLabels({tr("Plug-in"), tr("Version"), tr("File")});
    m_list->setRootIsDecorated(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_uninstall = buttons->addButton(tr("&Uninstall"), QDialogButtonBox::ActionRole);
    m_uninstall->setObjectName(QStringLiteral("uninstallButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_uninstall, &QPushButton::clicked, this, &PluginsDialog::uninstallCurrent);
    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [this] { m_uninstall->setEnabled(m_list->currentItem() != nullptr); });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(520, 260);
    fill();
}

void PluginsDialog::fill()
{
    m_list->clear();
    const platform::WindowHandle view = m_frame->view()->handle();
    for (const MainFrame::InstalledPlugin &plugin : m_frame->plugins()) {
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(0, plugin.library->menuText());
        item->setText(1, plugin.library->version(view));
        item->setText(2, plugin.library->path());
        item->setIcon(0, plugin.action->icon());
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    m_uninstall->setEnabled(m_list->currentItem() != nullptr);
}

void PluginsDialog::uninstallCurrent()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0)
        return;
    if (m_frame->uninstallPlugin(std::size_t(row)))
        fill();
}
