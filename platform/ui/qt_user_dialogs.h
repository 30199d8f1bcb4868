#pragma once

#include "platform/ui/user_dialogs.h"

// The dialogs of UserDialogs as Qt's own standard dialogs.
class QtUserDialogs : public UserDialogs {
public:
    explicit QtUserDialogs(QString errorCaption) : errorCaption(std::move(errorCaption)) {}

    std::optional<std::string> openFile(QWidget* owner, const std::string& folder) override;
    std::optional<std::string> saveFile(QWidget* owner, const QString& title,
                                        const std::string& fileName) override;
    std::optional<QString> inputQuery(QWidget* owner, const QString& caption, const QString& prompt,
                                      const QString& value) override;
    void errorBox(QWidget* owner, const QString& text) override;

private:
    QString errorCaption;
};
