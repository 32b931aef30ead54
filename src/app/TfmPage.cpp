#include "app/TfmPage.h"

#include "session/BackupList.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace lazrine::app {

TfmPage::TfmPage(const palm::PmKindInfo& kind, const QString& prefix, const QString& webSiteUrl, QWidget* parent)
    : QWidget(parent),
      m_model(kind.columns),
      m_lblShow(QStringLiteral("Show:")),
      m_rbtnDel(QStringLiteral("Deleted Records")),
      m_rbtnAll(QStringLiteral("All Records")),
      m_btnSel(QStringLiteral("&Select All")),
      m_btnClear(QStringLiteral("&Clear")),
      m_btnUnDel(QStringLiteral("&Undelete")),
      m_btnExport(QStringLiteral("&Export…")),
      m_btnBackups(QString::fromUtf8(session::BackupList::kButton)) {
    setObjectName(QStringLiteral("ts") + prefix);
    m_rbtnDel.setObjectName(QStringLiteral("rbtn") + prefix + QStringLiteral("Del"));
    m_rbtnAll.setObjectName(QStringLiteral("rbtn") + prefix + QStringLiteral("All"));
    m_lv.setObjectName(QStringLiteral("lv") + prefix);
    m_btnSel.setObjectName(QStringLiteral("btn") + prefix + QStringLiteral("Sel"));
    m_btnClear.setObjectName(QStringLiteral("btn") + prefix + QStringLiteral("Clear"));
    m_btnUnDel.setObjectName(QStringLiteral("btn") + prefix + QStringLiteral("UnDel"));
    m_btnExport.setObjectName(QStringLiteral("btn") + prefix + QStringLiteral("Export"));
    m_btnBackups.setObjectName(QStringLiteral("btn") + prefix + QStringLiteral("Backups"));
    m_lnkWeb.setObjectName(QStringLiteral("lnk") + prefix + QStringLiteral("Web"));
    // As designed, a page opens on its deleted records.
    m_rbtnDel.setChecked(true);

    // Report style: no tree decoration, whole-row selection, one row height
    // for every item (which lets the view skip measuring rows it does not
    // draw, so long lists open at once).
    m_lv.setModel(&m_model);
    m_lv.setItemDelegate(&m_delegate);
    m_lv.setRootIsDecorated(false);
    m_lv.setItemsExpandable(false);
    m_lv.setUniformRowHeights(true);
    m_lv.setAllColumnsShowFocus(true);
    m_lv.setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lv.setSelectionMode(QAbstractItemView::SingleSelection);
    m_lv.setTextElideMode(Qt::ElideRight);
    m_lv.installEventFilter(this);
    m_lv.header()->setStretchLastSection(false);
    m_lv.header()->setSectionsMovable(false);
    for (std::size_t i = 0; i < kind.columns.size(); ++i) {
        m_lv.header()->resizeSection(static_cast<int>(i), kind.columns[i].width);
    }

    m_lnkWeb.setText(QStringLiteral("<a href=\"%1\">Visit Lazrine Web Site</a>").arg(webSiteUrl.toHtmlEscaped()));
    m_lnkWeb.setTextFormat(Qt::RichText);
    // The main window opens the link, through its seam. Tab reaches it and
    // Enter opens it, as a click does.
    m_lnkWeb.setOpenExternalLinks(false);
    m_lnkWeb.setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_lnkWeb.setFocusPolicy(Qt::StrongFocus);

    m_showRow.addWidget(&m_lblShow);
    m_showRow.addWidget(&m_rbtnDel);
    m_showRow.addWidget(&m_rbtnAll);
    m_showRow.addStretch(1);
    m_buttonRow.addWidget(&m_btnSel);
    m_buttonRow.addWidget(&m_btnClear);
    m_buttonRow.addWidget(&m_btnUnDel);
    m_buttonRow.addWidget(&m_btnExport);
    m_buttonRow.addWidget(&m_btnBackups);
    m_buttonRow.addStretch(1);
    m_buttonRow.addWidget(&m_lnkWeb);
    m_layout.addLayout(&m_showRow);
    m_layout.addWidget(&m_lv, 1);
    m_layout.addLayout(&m_buttonRow);
    setLayout(&m_layout);
}

bool TfmPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_lv && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const QModelIndex current = m_lv.currentIndex();
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier && current.isValid()) {
            const QModelIndex box = m_model.index(current.row(), 0);
            const bool checked = m_model.data(box, Qt::CheckStateRole).toInt() == Qt::Checked;
            m_model.setData(box, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lazrine::app
