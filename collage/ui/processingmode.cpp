#include "window/ui/frmtessarin.h"

#include "runtime/numbertext.h"
#include "runtime/services.h"
#include "window/defaults.h"

#include <QAction>

QString FrmTessarin::SlowModeCaption(quint8 k)
{
    return QStringLiteral("较慢！(&3) K=") + QString::number(k);
}

void FrmTessarin::mnuFS_Click(int index)
{
    for (QAction* item : mnuFS)
        item->setChecked(false);
    mnuFS[index]->setChecked(true);
    mProcessMode = ProcessMode(index);
    if (index != 2)
        return;

    // The box comes back until the reply is empty or a number within range; the
    // range is tested before rounding, so 15.9 is asked again.
    const QString prompt = QStringLiteral("范围：%1 ~ %2").arg(MinK).arg(MaxK);
    const QString title = QStringLiteral("请输入K值：");
    QString reply = m_services.InputBox(prompt, title, QString::number(mKValue));
    while (!reply.isEmpty()) {
        const double k = LeadingNumber(reply);
        if (k >= MinK && k <= MaxK) {
            mKValue = quint8(*ToWhole(k, WholeType::Byte));
            break;
        }
        reply = m_services.InputBox(prompt, title, QString::number(mKValue));
    }
    mnuFS[2]->setText(SlowModeCaption(mKValue));
}
