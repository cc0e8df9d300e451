#pragma once

// The resources of the Windows program (heraldpad.rc.in, resources.rc).
#define kIconId 1
#define kOpenPictureId 101
#define kSavePictureId 102
#define kQuestionDialogId 201
#define kQuestionIconId 202
#define kQuestionTextId 203
