#pragma once

#include "platform/ui/user_dialogs.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

// Dialogs answered from queues; what each was shown is recorded. An empty queue answers "cancel".
class ScriptedDialogs : public UserDialogs {
public:
    std::optional<std::string> openFile(QWidget*, const std::string& folder) override
    {
        openFolders.push_back(folder);
        return next(openAnswers);
    }
    std::optional<std::string> saveFile(QWidget*, const QString& title,
                                        const std::string& fileName) override
    {
        saveTitles.push_back(title);
        saveProposals.push_back(fileName);
        return next(saveAnswers);
    }
    std::optional<QString> inputQuery(QWidget*, const QString& caption, const QString& prompt,
                                      const QString& value) override
    {
        inputCaptions.push_back(caption);
        inputPrompts.push_back(prompt);
        inputValues.push_back(value);
        return next(inputAnswers);
    }
    void errorBox(QWidget*, const QString& text) override { errors.push_back(text); }

    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::deque<std::optional<QString>> inputAnswers;

    std::vector<std::string> openFolders;
    std::vector<QString> saveTitles;
    std::vector<std::string> saveProposals;
    std::vector<QString> inputCaptions;
    std::vector<QString> inputPrompts;
    std::vector<QString> inputValues;
    std::vector<QString> errors;

private:
    template <typename T> static std::optional<T> next(std::deque<std::optional<T>>& answers)
    {
        std::optional<T> answer;
        if (!answers.empty()) {
            answer.swap(answers.front());
            answers.pop_front();
        }
        return answer;
    }
};
