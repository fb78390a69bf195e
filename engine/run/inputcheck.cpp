#include "engine/run/inputcheck.h"

#include "engine/write/pagerange.h"
#include "platform/cp936.h"

#include <cstdint>
#include <utility>

namespace kestrune {

namespace {

using Kind = InputProblem::Kind;

// The first character code page 936 lacks, a surrogate pair whole.
QString FirstUnencodable(const QString &name)
{
    QByteArray bytes;
    for (qsizetype at = 0; at < name.size();) {
        const bool pair = at + 1 < name.size() && name.at(at).isHighSurrogate() &&
                          name.at(at + 1).isLowSurrogate();
        const QStringView character = QStringView(name).mid(at, pair ? 2 : 1);
        if (!EncodeCp936(character, bytes))
            return character.toString();
        at += character.size();
    }
    return {};
}

} // namespace

std::optional<RuntimeError> InputReadingError(InputBox box, const QString &text)
{
    if (box == InputBox::Delay) {
        if (const Expected<float> seconds = PauseSeconds(text.toStdString()); !seconds)
            return seconds.Error();
    } else if (const Expected<std::int64_t> page = PageOfRank(text.toStdString()); !page) {
        return page.Error();
    }
    return std::nullopt;
}

std::optional<InputProblem> CheckInput(InputBox box, const QString &text)
{
    if (box == InputBox::ForumName) {
        QString character = FirstUnencodable(text);
        if (character.isEmpty())
            return std::nullopt;
        return InputProblem{box, Kind::NotInCodePage, text, std::move(character)};
    }
    const std::optional<RuntimeError> error = InputReadingError(box, text);
    if (!error)
        return std::nullopt;
    return InputProblem{
        box, error->Kind() == ErrorKind::Overflow ? Kind::TooLarge : Kind::NotANumber, text, {}};
}

std::optional<InputProblem> CheckInputs(const ExportInputs &inputs)
{
    for (const auto &[box, text] : {std::pair{InputBox::ForumName, inputs.ForumName()},
                                    std::pair{InputBox::FromRank, inputs.FromRank()},
                                    std::pair{InputBox::ToRank, inputs.ToRank()},
                                    std::pair{InputBox::Delay, inputs.Delay()}}) {
        if (std::optional<InputProblem> problem = CheckInput(box, text))
            return problem;
    }
    return std::nullopt;
}

} // namespace kestrune
