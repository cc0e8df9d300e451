#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

// Every text that the core and the commands give the writer, by name. Their
// words are in messages.cpp, the one table every window shows them from.
enum class Message {
    WindowTitle,
    LoadError,
    // Naming what a save cannot store.
    LineAndColumn,
    LineAndColumnInList,
    QuotedCharacter,
    NamedCharacter,
    ZeroWidthSpace,
    ZeroWidthNonJoiner,
    ZeroWidthJoiner,
    LeftToRightMark,
    RightToLeftMark,
    WordJoiner,
    ZeroWidthNoBreakSpace,
    VariationSelector,
    TextDirectionMark,
    CombiningMark,
    CannotBeStored,
    CharacterAt,
    AndMore,
    CharactersCannotBeStored,
    KeptByteWouldJoin,
    // Why a file could not be read or written.
    FileTooLarge,
    NoMemoryToWrite,
    IsFolder,
    NotRegularFile,
    PipeWithoutReader,
    InPlaceWithoutMemory,
    IncompleteSave,
    SentInPart,
    NameNotValid,
    // The commands.
    ActionExit,
    ActionOpen,
    ActionNewFile,
    SaveChangesBefore,
    SaveChangesTitle,
    SaveDialogTitle,
    OpenDialogTitle,
    Saving,
    SavedTo,
    Loading,
    ReloadedFromLink,
    ReloadedChanged,
    NowFolder,
    NowNotRegular,
    NowTooLarge,
    CannotBeRead,
    // Standard input.
    StandardInputName,
    LoadingStandardInput,
    StandardInputClosed,
    TerminalClosed,
    InputTooLarge,
    // The window.
    LoadButton,
    LoadTip,
    QuickloadName,
    QuicksaveName,
    SaveAsButton,
    SaveTip,
    NewsTextName,
    InfoFrame,
    InfoCredit,
    InfoName,
    InfoText,
    ExitButton,
    ExitTip,
    AllChangesSaved,
    UnsavedChanges,
    ReadSoFar,
    // What the window tells and asks.
    SaveFailedTitle,
    SaveFailedText,
    NotOpenedTitle,
    NotOpenedText,
    DeletedTitle,
    DeletedText,
    NotReloadedTitle,
    NotReloadedText,
    ChangedTitle,
    ChangedText,
    NotReadTitle,
    NotReadText,
    NowLinkTitle,
    NowLinkText,
    CreatedTitle,
    CreatedText,
    UnreadableTitle,
    UnreadableText,
    SaveOverButton,
    CancelButton,
    ReloadText,
    ReloadButton,
    KeepMyTextButton,
    ReloadFromLinkText,
    UnsavedThrownAway,
    ReloadFromItButton,
    NoButton,
    YesButton,
    // Find and Replace.
    FindTitle,
    ReplaceTitle,
    SearchWithinLine,
    NotInText,
    PassedStart,
    PassedEnd,
    ReplacedOnce,
    ReplacedTimes,
};

// The words of a message in the writer's language, with %1, %2, ... (up to
// %9) replaced by args in one pass: what an argument holds is never read as
// a place for another.
std::u16string say(Message id, std::span<const std::u16string_view> args);
std::u16string say(Message id, std::initializer_list<std::u16string_view> args = {});

// The English words of a message, as the table has them.
std::u16string_view english(Message id);

// Where the words in the writer's language come from: given the English
// words, the translated ones, or nothing to keep the English. None at first.
using Translator = std::u16string (*)(std::u16string_view english);
void setTranslator(Translator translator);

// A number as the messages write it.
std::u16string number(long long value);
