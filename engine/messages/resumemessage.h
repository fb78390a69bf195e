#pragma once

#include "engine/resume/resumefile.h"
#include "platform/usermessage.h"

#include <cstdint>

// What both front ends say about a run that did not complete: quitting in
// the middle of one, and continuing it on a later start.
namespace kestrune {

// Closing the window while `pagesDone` pages from `firstPage` are in.
UserMessage DescribeQuitQuestion(std::int64_t firstPage, std::int64_t pagesDone,
                                 std::int64_t resumeRank);

// The folder's resume file, offered before anything else.
UserMessage DescribeResumeOffer(const ResumePoint &point, const QString &folder);

// 不用了: the file goes only once the user says so a second time.
UserMessage DescribeDropResumeQuestion(const ResumePoint &point);

// --continue in a folder without one.
UserMessage DescribeNothingToContinue(const QString &folder);

// 放弃 could not remove it.
UserMessage DescribeDropFailed(const RuntimeError &error);

// A resume file that cannot be used; it is left where it is.
UserMessage DescribeResumeProblem(const ResumeProblem &problem);

} // namespace kestrune
