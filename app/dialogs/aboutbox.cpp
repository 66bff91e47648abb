#include "app/dialogs/aboutbox.h"

#include "platform/exceptionguard.h"
#include "platform/help.h"
#include "platform/version.h"
#include "rtl/format.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString HomePage = QStringLiteral("https://www.tarvel.example/lumidex");
const QString Email = QStringLiteral("lumidex@tarvel.example");

QLabel* NewLinkLabel(const QString& Caption, QWidget* Parent)
{
    auto* label = new QLabel(Caption, Parent);
    label->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

}  // namespace

QString GetFileVersionText()
{
    return platform::ProgramVersion();
}

TAboutBox::TAboutBox(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    auto* picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop);

    auto* title = new QLabel(QStringLiteral("Lumidex"), this);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2);
    title->setFont(titleFont);
    title->setStyleSheet(QStringLiteral("color: navy;"));
    auto* technology = new QLabel(QStringLiteral("(Built on Lattice technology)"), this);
    lblVersion = new QLabel(this);
    lblHomePage = NewLinkLabel(HomePage, this);
    lblEmail = NewLinkLabel(Email, this);
    lblHomePage->installEventFilter(this);
    lblEmail->installEventFilter(this);

    pbOk = new QPushButton(QStringLiteral("OK"), this);
    pbOk->setDefault(true);
    connect(pbOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    for (QWidget* text :
        {static_cast<QWidget*>(title), static_cast<QWidget*>(technology), static_cast<QWidget*>(lblVersion),
            static_cast<QWidget*>(lblHomePage), static_cast<QWidget*>(lblEmail)})
        texts->addWidget(text);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(texts);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(pbOk, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    FormCreate();
}

void TAboutBox::FormCreate()
{
    lblVersion->setText(rtl::Format(QStringLiteral("Version %s"), GetFileVersionText()));
}

void TAboutBox::lbWWWClick(QLabel* Sender)
{
    const QString caption = Sender->text();
    platform::OpenDocument(
        caption.contains(QLatin1Char('@')) ? QStringLiteral("mailto:") + caption : caption);
}

bool TAboutBox::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton
        && (Watched == lblHomePage || Watched == lblEmail)) {
        platform::Guarded([this, Watched] { lbWWWClick(static_cast<QLabel*>(Watched)); });
        return true;
    }
    return QDialog::eventFilter(Watched, Event);
}
