#include "cli/CliRunner.h"
#include "translations/CTranslation.h"

#include <QLocale>

#include <iostream>

using namespace mapreg;

int main(int argc, char** argv) {
    // Help and messages in the desktop's language; results stay as they are for scripts.
    CTranslation translation;
    if (translation.Load(QLocale::system())) {
        translation.ApplyToStringTable();
    }
    return RunCli(argc, argv, std::cout, std::cerr);
}
