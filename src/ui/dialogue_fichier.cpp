#include "ui/dialogue_fichier.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace virmak {

namespace {

    // The file model dates its files in the session's language ("8 Dec"
    // under an English or C locale): the column of dates goes through here.
    class DatesEnFrancais : public QIdentityProxyModel {
    public:
        using QIdentityProxyModel::QIdentityProxyModel;

        QVariant data(const QModelIndex& index, int role) const override
        {
            constexpr int ColonneDate = 3;
            auto* fichiers = qobject_cast<QFileSystemModel*>(sourceModel());
            if (role != Qt::DisplayRole || index.column() != ColonneDate || !fichiers)
                return QIdentityProxyModel::data(index, role);
            return QLocale(QLocale::French, QLocale::France)
                .toString(fichiers->lastModified(mapToSource(index)), QLocale::ShortFormat);
        }
    };

} // namespace

void PreparerDialogueFichier(QFileDialog* dialogue)
{
    dialogue->setOption(QFileDialog::DontUseNativeDialog);
    dialogue->setProxyModel(new DatesEnFrancais(dialogue));
}

} // namespace virmak
