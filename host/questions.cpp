#include "questions.h"

#include <QMessageBox>

namespace {
Questions* g_installed = nullptr;
}

Questions::~Questions() = default;

bool Questions::askYesNo(QWidget* owner, const QString& caption, const QString& text)
{
    return QMessageBox::question(owner, caption, text) == QMessageBox::Yes;
}

Questions& Questions::current()
{
    static Questions standard;
    return g_installed ? *g_installed : standard;
}

void Questions::install(Questions* questions)
{
    g_installed = questions;
}
