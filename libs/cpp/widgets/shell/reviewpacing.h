#pragma once

#include <QDate>

namespace QMWidgets {

// Paces requests for a store review: at most one attempt per run, at most
// three requests a year, and apart from the first (or a forced) request only
// on every N-th call. Keeps its counts in the application object's settings:
// "RequestedReviewsCalls", "RequestedReviewsCount" and
// "RequestedReviewsLastDate" ("yyyy-MM-dd"); honours "AutoReminder".
// Needs the shell's application object; without one nothing is shown or
// stored and the getters give their defaults.
class ReviewPacing
{
public:
    // Shows the rating dialog once, unless reminders are off or the rating
    // dialog is suppressed. Rating opens the rating page; rating and "never
    // ask again" switch reminders off.
    static void requestStoreReview();

    static int reviewRequestCalls();
    static int reviewRequestCount();
    // The date of the last request; today when none is stored, an invalid
    // date when the stored text is malformed (it then counts as today).
    static QDate lastReviewRequestDate();

    // Whether this year's three requests are used up. More than 366 days
    // after the last request the counters start afresh (and are stored so).
    static bool reviewRequestsExhausted();

    // The paced entry point; force skips the every-N-th-call rule, not the
    // once-per-run and yearly limits.
    static void requestReview(bool force);

    // 0 when exhausted, otherwise 3 minus the stored request count.
    static int remainingReviewRequests();

    // N of requestReview (2 at start); values below 1 count as 1.
    static void setReviewRequestInterval(const int &interval);
    static int reviewRequestInterval();

    // Whether requestReview already ran in this process; resetRun() forgets
    // it, as a new run of the program would.
    static bool wasRequestedThisRun();
    static void resetRun();
};

} // namespace QMWidgets
