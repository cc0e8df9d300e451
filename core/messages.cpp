#include "messages.h"

#include <array>
#include <utility>

namespace {
// clang-format off
constexpr std::pair<Message, std::u16string_view> kTable[] = {
    {Message::WindowTitle, u"Orbitane Heraldpad 1.3"},
    {Message::LoadError, u"Error while opening file"},
    {Message::LineAndColumn, u"Line %1, column %2"},
    {Message::LineAndColumnInList, u"line %1, column %2"},
    {Message::QuotedCharacter, u"\"%1\" (U+%2)"},
    {Message::NamedCharacter, u"%1 (U+%2)"},
    {Message::ZeroWidthSpace, u"zero width space"},
    {Message::ZeroWidthNonJoiner, u"zero width non-joiner"},
    {Message::ZeroWidthJoiner, u"zero width joiner"},
    {Message::LeftToRightMark, u"left-to-right mark"},
    {Message::RightToLeftMark, u"right-to-left mark"},
    {Message::WordJoiner, u"word joiner"},
    {Message::ZeroWidthNoBreakSpace, u"zero width no-break space"},
    {Message::VariationSelector, u"variation selector"},
    {Message::TextDirectionMark, u"text direction mark"},
    {Message::CombiningMark, u"combining mark"},
    {Message::CannotBeStored, u"%1: %2 cannot be stored in %3."},
    {Message::CharacterAt, u"%1 at %2"},
    {Message::AndMore, u"and %1 more"},
    {Message::CharactersCannotBeStored, u"%1 characters cannot be stored in %2: %3."},
    {Message::KeptByteWouldJoin,
     u"%1: the kept byte %2 and the character after it would be read back as another "
     u"character in %3. Delete the kept byte or put something between them."},
    {Message::FileTooLarge, u"The file is too large to be held in memory"},
    {Message::NoMemoryToWrite, u"Not enough memory to write the file"},
    {Message::IsFolder, u"It is a folder, not a file."},
    {Message::NotRegularFile, u"It is not a regular file, but a pipe or a device."},
    {Message::PipeWithoutReader, u"It is a pipe that no program reads from."},
    {Message::InPlaceWithoutMemory,
     u"The file is rewritten in place (it has other names, or its folder takes no new "
     u"file), and its old text and the new one do not fit in memory together, so that the "
     u"old one could not be put back if the save failed."},
    {Message::IncompleteSave,
     u"%1\n\nThe file now holds an incomplete save: its old text could not be put back. "
     u"Save again once the cause is mended; the text is still here."},
    {Message::SentInPart,
     u"%1\n\nIt is a device or a pipe: what was written to it cannot be taken back."},
    {Message::NameNotValid,
     u"Its name is not valid in the system's character set, so the editor can neither open "
     u"nor save a file by that name. Rename the file, or start the editor in a locale whose "
     u"character set holds the name."},
    {Message::ActionExit, u"exiting the application"},
    {Message::ActionOpen, u"opening a new file"},
    {Message::ActionNewFile, u"a new file"},
    {Message::SaveChangesBefore, u"Would you like to save your changes before %1?"},
    {Message::SaveChangesTitle, u"SecureSave"},
    {Message::SaveDialogTitle, u"Save text file"},
    {Message::OpenDialogTitle, u"Open text file"},
    {Message::Saving, u"Saving %1"},
    {Message::SavedTo, u"Saved to %1."},
    {Message::Loading, u"Loading %1"},
    {Message::ReloadedFromLink, u"Reloaded from %1, which is now a link to %2."},
    {Message::ReloadedChanged, u"Reloaded from %1, which another program changed."},
    {Message::NowFolder, u"%1 is now a folder."},
    {Message::NowNotRegular, u"%1 is now a pipe or a device, not a file."},
    {Message::NowTooLarge, u"%1 is now too large to be held in memory beside the text shown here."},
    {Message::CannotBeRead, u"%1 cannot be read: %2"},
    {Message::StandardInputName, u"standard input"},
    {Message::LoadingStandardInput, u"Loading the news from standard input"},
    {Message::StandardInputClosed, u"Standard input is closed."},
    {Message::TerminalClosed, u"The terminal was closed before the news ended."},
    {Message::InputTooLarge, u"The text is too large to be held in memory"},
    {Message::LoadButton, u"Load ..."},
    {Message::LoadTip, u"Ctrl + L to Quickload news.txt"},
    {Message::QuickloadName, u"Quickload news.txt"},
    {Message::QuicksaveName, u"Quicksave"},
    {Message::SaveAsButton, u"Save as ..."},
    {Message::SaveTip, u"Ctrl + S to save current file"},
    {Message::NewsTextName, u"News text"},
    {Message::InfoFrame, u"Info:"},
    {Message::InfoCredit, u"Heraldpad, written for the news writers of Orbitane/Novaglide"},
    {Message::InfoName, u"Info"},
    {Message::InfoText,
     u"The text window above has the same specifications as the news \r\n"
     u"window of Orbitane/Novaglide. \r\n"
     u"Here you can write your news and be sure it will be displayed the \r\n"
     u"same way as you see it here.\r\n"},
    {Message::ExitButton, u"Exit"},
    {Message::ExitTip, u"Ctrl + E to exit the application"},
    {Message::AllChangesSaved, u"All changes saved"},
    {Message::UnsavedChanges, u"Unsaved changes"},
    {Message::ReadSoFar, u"%1\n%2 read so far"},
    {Message::SaveFailedTitle, u"Save failed"},
    {Message::SaveFailedText,
     u"The news could not be saved to %1.\n\n%2\n\nThe text is still here, unsaved."},
    {Message::NotOpenedTitle, u"Not opened"},
    {Message::NotOpenedText, u"The news could not be read from %1.\n\n%2"},
    {Message::DeletedTitle, u"File deleted by another program"},
    {Message::DeletedText,
     u"%1 was deleted by another program.\n\nThe text shown here stays; saving writes the "
     u"file again."},
    {Message::NotReloadedTitle, u"File not reloaded"},
    {Message::NotReloadedText, u"%1\n\nThe text shown here stays as it was."},
    {Message::ChangedTitle, u"File changed by another program"},
    {Message::ChangedText,
     u"%1 was changed by another program since it was loaded or saved here.\n\nSave over it "
     u"with the text shown here? What the other program wrote there is then lost."},
    {Message::NotReadTitle, u"File not read"},
    {Message::NotReadText,
     u"%1 could not be read when it was opened.\n\nSave the text shown here into it? "
     u"Whatever it holds now is replaced."},
    {Message::NowLinkTitle, u"File replaced by a link"},
    {Message::NowLinkText,
     u"%1 is now a link to %2.\n\nSave over it? The text shown here then goes into %2."},
    {Message::CreatedTitle, u"File created by another program"},
    {Message::CreatedText,
     u"%1 was not there when the editor looked, and another program has made it since.\n\n"
     u"Save over it with the text shown here? What the other program wrote there is then "
     u"lost."},
    {Message::UnreadableTitle, u"File cannot be read"},
    {Message::UnreadableText,
     u"%1 can no longer be read here (%2), so whether another program changed it cannot be "
     u"told.\n\nSave over it with the text shown here? Whatever it holds now is then "
     u"replaced."},
    {Message::SaveOverButton, u"&Save over it"},
    {Message::CancelButton, u"Cancel"},
    {Message::ReloadText,
     u"%1 was changed by another program.\n\nReload it? The unsaved text shown here is then "
     u"thrown away."},
    {Message::ReloadButton, u"&Reload"},
    {Message::KeepMyTextButton, u"&Keep my text"},
    {Message::ReloadFromLinkText,
     u"%1 is now a link to %2. Reload from it?\n\n%3Saving then writes into %2."},
    {Message::UnsavedThrownAway, u"The unsaved text shown here is then thrown away. "},
    {Message::ReloadFromItButton, u"&Reload from it"},
    {Message::NoButton, u"&No"},
    {Message::YesButton, u"&Yes"},
    {Message::FindTitle, u"Find"},
    {Message::ReplaceTitle, u"Replace"},
    {Message::SearchWithinLine, u"A search does not cross line breaks: find a part of one line."},
    {Message::NotInText, u"\"%1\" is not in the text."},
    {Message::PassedStart, u"Passed the start of the text; went on from its end."},
    {Message::PassedEnd, u"Passed the end of the text; went on from its start."},
    {Message::ReplacedOnce, u"Replaced once."},
    {Message::ReplacedTimes, u"Replaced %1 times."},
};
// clang-format on

// Every message in the table, each at the place of its number.
constexpr bool tableInOrder()
{
    for (size_t i = 0; i < std::size(kTable); ++i) {
        if (size_t(kTable[i].first) != i)
            return false;
    }
    return size_t(Message::ReplacedTimes) + 1 == std::size(kTable);
}
static_assert(tableInOrder(), "one row a message, in the order of Message");

Translator translator = nullptr;
} // namespace

std::u16string_view english(Message id)
{
    return kTable[size_t(id)].second;
}

void setTranslator(Translator t)
{
    translator = t;
}

std::u16string say(Message id, std::span<const std::u16string_view> args)
{
    std::u16string words;
    if (translator)
        words = translator(english(id));
    const std::u16string_view in = words.empty() ? english(id) : std::u16string_view(words);
    std::u16string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const size_t place = i + 1 < in.size() && in[i] == u'%' ? size_t(in[i + 1] - u'1') : 9;
        if (place < 9 && place < args.size()) {
            out += args[place];
            ++i;
        } else {
            out += in[i];
        }
    }
    return out;
}

std::u16string say(Message id, std::initializer_list<std::u16string_view> args)
{
    return say(id, std::span<const std::u16string_view>(args.begin(), args.size()));
}

std::u16string number(long long value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}
