#pragma once

#include <QString>

#include <exception>
#include <string>

// The text of the box that ends the program when an error escapes its start: the error's class,
// the program's file name, a code address, then the message with the error box's "." rule.
QString startFailureText(const std::exception& error, const std::string& executablePath,
                         const void* address);

// Shows that box ("Erreur d'application", stop icon, OK) and waits for the user; without any
// screen, writes the text to the standard error output.
void showStartFailure(const QString& text);
