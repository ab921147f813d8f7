#include "reviewpacing.h"

#include "app.h"
#include "rateappstoredialog.h"

#include <QPointer>

#include <climits>

namespace QMWidgets {

namespace {

const int kYearlyRequests = 3;
const char *const kDateFormat = "yyyy-MM-dd";

bool s_requestedThisRun = false;
int s_interval = 2;

const QString kCalls = QStringLiteral("RequestedReviewsCalls");
const QString kCount = QStringLiteral("RequestedReviewsCount");
const QString kLastDate = QStringLiteral("RequestedReviewsLastDate");
const QString kAutoReminder = QStringLiteral("AutoReminder");

QString todayText()
{
    return QDate::currentDate().toString(QLatin1String(kDateFormat));
}

} // namespace

void ReviewPacing::requestStoreReview()
{
    App *app = App::instance();
    if (!app)
        return;
    if (!app->value(kAutoReminder, true).toBool())
        return;
    if (RateAppStoreDialog::isSuppressed())
        return;

    // The main widget may go away while the dialog runs; so may the dialog.
    QPointer<RateAppStoreDialog> dialog = new RateAppStoreDialog(app->mainWidget());
    dialog->exec();
    const int choice = dialog ? dialog->state() : int(ReminderStateDialog::NoChoice);
    delete dialog.data();

    if (choice == ReminderStateDialog::Rate) {
        app->slotRateApp();
        app->setValue(kAutoReminder, false);
    } else if (choice == ReminderStateDialog::NeverAskAgain) {
        app->setValue(kAutoReminder, false);
    }
}

int ReviewPacing::reviewRequestCalls()
{
    App *app = App::instance();
    return app ? app->value(kCalls, 0).toInt() : 0;
}

int ReviewPacing::reviewRequestCount()
{
    App *app = App::instance();
    return app ? app->value(kCount, 0).toInt() : 0;
}

QDate ReviewPacing::lastReviewRequestDate()
{
    App *app = App::instance();
    const QString text = app ? app->value(kLastDate, QString()).toString() : QString();
    if (text.isEmpty())
        return QDate::currentDate();
    return QDate::fromString(text, QLatin1String(kDateFormat));
}

bool ReviewPacing::reviewRequestsExhausted()
{
    // An invalid date gives 0 days, as if the last request was made today.
    const qint64 days = lastReviewRequestDate().daysTo(QDate::currentDate());
    if (reviewRequestCount() < kYearlyRequests && days <= 365)
        return false;
    if (days <= 366)
        return true;

    if (App *app = App::instance()) {
        app->setValue(kCalls, 0);
        app->setValue(kCount, 0);
        app->setValue(kLastDate, todayText());
    }
    return false;
}

void ReviewPacing::requestReview(bool force)
{
    // Marked before any test: one attempt per run, whatever its outcome.
    if (s_requestedThisRun)
        return;
    s_requestedThisRun = true;

    App *app = App::instance();
    if (!app || reviewRequestsExhausted())
        return;

    const int count = reviewRequestCount();
    const int calls = reviewRequestCalls();
    if (count == 0 || force || calls % reviewRequestInterval() == 0) {
        requestStoreReview();
        app->setValue(kCount, count + 1);
        app->setValue(kLastDate, todayText());
    }
    // 64-bit sum: the largest stored value must not overflow.
    const qint64 next = qint64(calls) + 1;
    app->setValue(kCalls, next < 0 || next > INT_MAX ? 1 : int(next));
}

int ReviewPacing::remainingReviewRequests()
{
    if (reviewRequestsExhausted())
        return 0;
    return kYearlyRequests - reviewRequestCount();
}

void ReviewPacing::setReviewRequestInterval(const int &interval)
{
    s_interval = interval;
}

int ReviewPacing::reviewRequestInterval()
{
    // The interval divides the call count: keep it positive.
    return qMax(1, s_interval);
}

bool ReviewPacing::wasRequestedThisRun()
{
    return s_requestedThisRun;
}

void ReviewPacing::resetRun()
{
    s_requestedThisRun = false;
}

} // namespace QMWidgets
