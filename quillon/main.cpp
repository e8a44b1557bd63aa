// quillon: the picture program.
#include "app/quillon_app.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setOrganizationName(QStringLiteral("Tessaly"));
    quillon::installFonts();
    quillon::installTranslations();

    quillon::StartOptions options;
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) options.files << arguments.mid(1).join(u' ');

    quillon::CQuillonApp app;
    if (!app.initInstance(options)) return 0;
    const int status = QApplication::exec();
    app.exitInstance();
    return status;
}
