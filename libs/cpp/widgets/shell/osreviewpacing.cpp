// The store-review pacing of Os, compiled into the shell because it needs the
// shell's application object and rating dialog.
#include "os.h"
#include "reviewpacing.h"

using QMWidgets::ReviewPacing;

void Os::requestStoreReview()
{
    ReviewPacing::requestStoreReview();
}

int Os::reviewRequestCalls()
{
    return ReviewPacing::reviewRequestCalls();
}

int Os::reviewRequestCount()
{
    return ReviewPacing::reviewRequestCount();
}

QDate Os::lastReviewRequestDate()
{
    return ReviewPacing::lastReviewRequestDate();
}

bool Os::reviewRequestsExhausted()
{
    return ReviewPacing::reviewRequestsExhausted();
}

void Os::requestReview(bool force)
{
    ReviewPacing::requestReview(force);
}

int Os::remainingReviewRequests()
{
    return ReviewPacing::remainingReviewRequests();
}

void Os::setReviewRequestInterval(const int &interval)
{
    ReviewPacing::setReviewRequestInterval(interval);
}
