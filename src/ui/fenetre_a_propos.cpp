#include "ui/fenetre_a_propos.h"

#include "pupitre/a_propos.h"
#include "ui/commun.h"
#include "ui/fenetre_principale.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

namespace virmak {

namespace {

    // A small milling machine under a warning sign, drawn rather than
    // shipped as an image.
    class ImageFraiseuse : public QWidget {
    public:
        ImageFraiseuse() { setFixedSize(150, 130); }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter p(this);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(Qt::black, 1.5));
            const QColor fonte(70, 110, 150), acier(190, 190, 200);
            p.setBrush(fonte);
            p.drawRect(10, 114, 90, 10); // base
            p.drawRect(70, 34, 18, 80); // column
            p.drawRect(34, 34, 54, 20); // head
            p.setBrush(QColor(60, 60, 60));
            p.drawRect(72, 16, 14, 18); // Z motor
            p.setBrush(acier);
            p.drawRect(18, 98, 62, 8); // table
            p.drawRect(46, 106, 20, 8); // saddle
            p.drawRect(45, 54, 10, 14); // spindle
            p.setBrush(Qt::white);
            p.drawPolygon(QPolygonF { QPointF(46, 68), QPointF(54, 68), QPointF(50, 82) }); // cutter
            p.setBrush(QColor(200, 120, 60));
            p.drawRect(30, 88, 40, 10); // part
            // The sign.
            QPainterPath triangle;
            triangle.moveTo(122, 62);
            triangle.lineTo(147, 110);
            triangle.lineTo(97, 110);
            triangle.closeSubpath();
            p.setPen(QPen(Qt::black, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(QColor(255, 210, 0));
            p.drawPath(triangle);
            p.setPen(QPen(Qt::black, 4.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(122, 78), QPointF(122, 94));
            p.drawPoint(QPointF(122, 103));
        }
    };

    QLabel* Texte(const char* texte, const QString& style = {})
    {
        auto* l = new QLabel(QString::fromUtf8(texte));
        l->setWordWrap(true);
        if (!style.isEmpty())
            l->setStyleSheet(style);
        return l;
    }

    QFrame* Panneau(const char* nom)
    {
        auto* f = new QFrame;
        f->setObjectName(nom);
        f->setFrameShape(QFrame::Panel);
        f->setFrameShadow(QFrame::Raised);
        return f;
    }

} // namespace

TAProposDe::TAProposDe(TForm1* principale)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , principale_(principale)
{
    setObjectName("AProposDe");
    // Closing it never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(principale->font());
    const FenetreAPropos& modele = principale->Etat().APropos;
    setFixedSize(modele.Width, modele.Height);

    QFrame* haut = Panneau("Panel1");
    auto* colonneHaut = new QVBoxLayout(haut);
    QLabel* produit = Texte(TexteProduit, "font-size:30px; font-weight:bold; color:navy;");
    produit->setAlignment(Qt::AlignCenter);
    QLabel* version
        = Texte(TexteVersionAPropos, "font-size:18px; font-weight:bold; font-style:italic; color:red;");
    version->setObjectName("Version");
    version->setAlignment(Qt::AlignCenter);
    colonneHaut->addWidget(produit);
    colonneHaut->addWidget(version);

    QFrame* bas = Panneau("Panel2");
    bas->setAutoFillBackground(true);
    QPalette info = bas->palette();
    info.setColor(QPalette::Window, info.color(QPalette::ToolTipBase));
    info.setColor(QPalette::WindowText, info.color(QPalette::ToolTipText));
    bas->setPalette(info);
    auto* colonneBas = new QVBoxLayout(bas);
    colonneBas->setContentsMargins(14, 10, 14, 14);
    colonneBas->setSpacing(14);
    auto* entete = new QHBoxLayout;
    entete->addWidget(new ImageFraiseuse);
    QLabel* titre = Texte(TexteTitreAvertissements, "font-size:22px; font-weight:bold; color:red;");
    titre->setAlignment(Qt::AlignCenter);
    entete->addWidget(titre, 1);
    colonneBas->addLayout(entete);
    colonneBas->addWidget(Texte(TexteDestination, "font-size:15px;"));
    colonneBas->addWidget(Texte(TexteSecurite, "font-size:15px;"));
    colonneBas->addStretch(1);
    QLabel* documentation = Texte(TexteDocumentation, "font-size:14px; font-weight:bold; color:red;");
    documentation->setAlignment(Qt::AlignCenter);
    colonneBas->addWidget(documentation);

    avertissementLu_ = new QCheckBox(Q(modele.AvertissementLu.Texte));
    avertissementLu_->setObjectName("AvertissementLu");
    connect(avertissementLu_, &QCheckBox::clicked, this, [this](bool cochee) {
        principale_->Poster("AProposDe", [cochee] { AvertissementLuClick(cochee); });
    });
    ok_ = BoutonDialogue("BtnOK", Q(modele.BtnOK.Texte));
    ok_->setMinimumWidth(90);
    connect(
        ok_, &QPushButton::clicked, this, [this] { principale_->Poster("AProposDe", AProposDeBtnOKClick); });

    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(haut);
    colonne->addWidget(bas, 1);
    colonne->addWidget(avertissementLu_);
    colonne->addWidget(ok_, 0, Qt::AlignHCenter);

    // Shown at start-up only once the main window is on screen to centre on.
    principale_->installEventFilter(this);
    Synchroniser();
}

void TAProposDe::Synchroniser()
{
    const FenetreAPropos& modele = principale_->Etat().APropos;
    setWindowTitle(Q(modele.Caption));
    avertissementLu_->setChecked(modele.AvertissementLu.Cochee);
    if (!modele.Visible) {
        hide();
        return;
    }
    if (isVisible() || !principale_->isVisible())
        return;
    if (!windowHandle())
        create();
    windowHandle()->setTransientParent(principale_->windowHandle());
    move(principale_->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
    activateWindow();
    ok_->setFocus();
}

void TAProposDe::closeEvent(QCloseEvent* evenement)
{
    principale_->Poster("AProposDe", AProposDeFormClose);
    evenement->accept();
}

bool TAProposDe::eventFilter(QObject* objet, QEvent* evenement)
{
    if (objet == principale_ && evenement->type() == QEvent::Show)
        Synchroniser();
    return QWidget::eventFilter(objet, evenement);
}

} // namespace virmak
