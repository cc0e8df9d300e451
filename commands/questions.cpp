#include "questions.h"

#include "messages.h"

Question saveOverQuestion(std::u16string_view file, DiskNews why, std::u16string_view detail)
{
    Question q{{}, {}, say(Message::SaveOverButton), say(Message::CancelButton)};
    switch (why) {
    case DiskNews::Changed:
        q.title = say(Message::ChangedTitle);
        q.text = say(Message::ChangedText, {file});
        break;
    case DiskNews::NotRead:
        q.title = say(Message::NotReadTitle);
        q.text = say(Message::NotReadText, {file});
        break;
    case DiskNews::NowLink:
        q.title = say(Message::NowLinkTitle);
        q.text = say(Message::NowLinkText, {file, detail});
        break;
    case DiskNews::Created:
        q.title = say(Message::CreatedTitle);
        q.text = say(Message::CreatedText, {file});
        break;
    case DiskNews::Unreadable:
    // (Not asked about: nothing changed, the save makes it again, or it fails.)
    case DiskNews::Nothing:
    case DiskNews::Deleted:
    case DiskNews::Unknown:
        q.title = say(Message::UnreadableTitle);
        q.text = say(Message::UnreadableText, {file, detail});
        break;
    }
    return q;
}

Question reloadQuestion(std::u16string_view file)
{
    return {say(Message::ChangedTitle), say(Message::ReloadText, {file}),
            say(Message::ReloadButton), say(Message::KeepMyTextButton)};
}

Question reloadFromLinkQuestion(std::u16string_view file, std::u16string_view linkTarget,
                                bool unsaved)
{
    const std::u16string thrownAway = unsaved ? say(Message::UnsavedThrownAway) : u"";
    return {say(Message::NowLinkTitle),
            say(Message::ReloadFromLinkText, {file, linkTarget, thrownAway}),
            say(Message::ReloadFromItButton), say(Message::NoButton)};
}
