#pragma once
// The handler program that serves a URL, as the settings store registers it:
// HKEY_CLASSES_ROOT\<scheme>\shell\<verb>\command = "<program path>" "<arguments with %1>".
// The host runs it the way the panel does: the URL in place of %1, and the argument text,
// unchanged, as the program's one argument.

#include <QString>
#include <QStringList>

#include <string>

struct HandlerCommand
{
    QString program;
    QStringList arguments; // the argument text as the one argument
    QString error;         // why there is no command; empty when there is one
};

// Looks up the command of url's scheme for verb and takes it apart.
HandlerCommand handlerCommandFor(const std::string& url, const char* verb);
