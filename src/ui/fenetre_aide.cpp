#include "ui/fenetre_aide.h"

#include "ui/commun.h"
#include "ui/fenetre_principale.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace virmak {

TFormAide::TFormAide(TForm1* principale)
    : QWidget(principale, Qt::Window)
    , principale_(principale)
{
    setObjectName("FormAide");
    setWindowTitle("Aide de Virmak");
    navigateur_ = new QTextBrowser;
    navigateur_->setObjectName("NavigateurAide");
    // Links between the pages stay here; a link to the web goes to the
    // desktop's browser.
    navigateur_->setOpenLinks(true);
    navigateur_->setOpenExternalLinks(true);
    precedent_ = BoutonDialogue("AidePrecedent", "◀ Précédent");
    suivant_ = BoutonDialogue("AideSuivant", "Suivant ▶");
    QPushButton* sommaire = BoutonDialogue("AideSommaire", "Sommaire");
    QPushButton* navigateur = BoutonDialogue("AideNavigateur", "Ouvrir dans le navigateur");
    navigateur->setToolTip("Cette page dans le navigateur du bureau, pour l'imprimer par exemple");
    QPushButton* fermer = BoutonDialogue("AideFermer", "Fermer");
    precedent_->setEnabled(false);
    suivant_->setEnabled(false);
    connect(precedent_, &QPushButton::clicked, navigateur_, &QTextBrowser::backward);
    connect(suivant_, &QPushButton::clicked, navigateur_, &QTextBrowser::forward);
    connect(navigateur_, &QTextBrowser::backwardAvailable, precedent_, &QPushButton::setEnabled);
    connect(navigateur_, &QTextBrowser::forwardAvailable, suivant_, &QPushButton::setEnabled);
    connect(sommaire, &QPushButton::clicked, this,
        [this] { navigateur_->setSource(navigateur_->source().resolved(QUrl("index.html"))); });
    connect(navigateur, &QPushButton::clicked, this, [this] {
        if (!QDesktopServices::openUrl(navigateur_->source()))
            QMessageBox::information(this, "Virmak",
                "Aucun navigateur n'a pu ouvrir " + navigateur_->source().toLocalFile()
                    + " : l'aide reste lisible dans cette fenêtre.");
    });
    connect(fermer, &QPushButton::clicked, this, &QWidget::close);
    connect(navigateur_, &QTextBrowser::sourceChanged, this, [this] {
        const QString titre = navigateur_->documentTitle();
        setWindowTitle(titre.isEmpty() ? "Aide de Virmak" : titre);
    });

    auto* boutons = new QHBoxLayout;
    for (QPushButton* b : { precedent_, suivant_, sommaire })
        boutons->addWidget(b);
    boutons->addStretch(1);
    boutons->addWidget(navigateur);
    boutons->addWidget(fermer);
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(4, 4, 4, 4);
    colonne->addLayout(boutons);
    colonne->addWidget(navigateur_, 1);
    resize(760, 620);
}

void TFormAide::Montrer(const QString& chemin)
{
    const int diese = chemin.indexOf('#');
    QUrl url = QUrl::fromLocalFile(diese < 0 ? chemin : chemin.left(diese));
    if (diese >= 0)
        url.setFragment(chemin.mid(diese + 1));
    navigateur_->setSource(url);
    if (!isVisible() && !place_) {
        principale_->PlacerACote(this);
        place_ = true;
    }
    show();
    raise();
    activateWindow();
}

} // namespace virmak
