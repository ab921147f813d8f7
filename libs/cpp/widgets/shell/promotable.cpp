#include "promotable.h"

namespace QMWidgets {

namespace {

const QString Separator;

// Ids shared by several lists.
const char *const GeneralChordFinder = "chordatlas";
const char *const GeneralChordLearner = "chordtutor";
const char *const TunerCollection = "tunerchest";
const char *const GeneralNoteFinder = "notecompass";
const char *const DesktopTool = "alarmowl";
const char *const BatchPhotoProcessor = "pixelferry";
const char *const PlayerProduct = "HumBox";
const char *const PlayerProductId = "humbox";

// Name parts of the per-instrument products: the row id is the instrument
// word followed by the part.
const char *const ChordFinderPart = "chordatlas";
const char *const NoteFinderPart = "notecompass";
const char *const ChordLearnerPart = "chordtutor";
const char *const TunerPart = "tuneup";

QString capitalized(const QString &word)
{
    return word.left(1).toUpper() + word.mid(1);
}

PromoTable::Row row(const QString &id, PromoTable::MatchKind match, const QString &description,
                    const QString &iconName, const QString &queryValue = QString(),
                    const QStringList &excludedBy = QStringList())
{
    PromoTable::Row r;
    r.id = id;
    r.match = match;
    r.query = QStringLiteral("?appname=") + (queryValue.isEmpty() ? id : queryValue);
    r.description = description;
    r.icon = QStringLiteral(":/") + iconName + QStringLiteral("64x64.png");
    r.excludedBy = excludedBy;
    return r;
}

QStringList chordFinderInstruments()
{
    return {"guitar", "ukulele", "piano", "banjo", "mandolin", "bass"};
}

QStringList noteFinderInstruments()
{
    return {"guitar", "bass", "piano", "violin", "ukulele", "mandolin"};
}

QStringList chordLearnerInstruments()
{
    return {"guitar", "ukulele", "piano", "banjo", "mandolin", "bass", "balalaika"};
}

QStringList tunerInstruments()
{
    return {"guitar", "bass", "ukulele", "violin", "banjo", "mandolin", "balalaika"};
}

QVector<PromoTable::Row> buildRows()
{
    using T = PromoTable;
    QVector<T::Row> rows;

    // Image and screen tools.
    rows << row("pixelferry", T::Exact, "Pixel Ferry - Resize && convert photos in batches", "PixelFerry")
         << row("lumenpatch", T::Exact, "Lumen Patch - Touch up your photos in seconds", "LumenPatch")
         << row("framefold", T::Exact, "Frame Fold - Lay out photo collages", "FrameFold")
         << row("glyphcraft", T::Exact, "Glyphcraft - Turn pictures into web page text", "Glyphcraft")
         << row("snipharbor", T::Exact,
                QStringLiteral("Snip Harbor - The screen capture tool for ") + PromoTable::platformName(),
                "SnipHarbor")
         << row("rulerbee", T::Exact, "Ruler Bee - Measure anything on your screen", "RulerBee")
         << row("tintwell", T::Exact, "Tint Well - Pick && keep colours from the screen", "TintWell")
         << row("iconkiln", T::Exact, "Icon Kiln - Make icons from any picture", "IconKiln")
         << row("notepin", T::Exact, "Note Pin - Write notes on your pictures", "NotePin");

    // Developer tool.
    rows << row("scriptsieve", T::Exact, "Script Sieve - Shrink scripts for the web", "ScriptSieve");

    // General music tools.
    rows << row(GeneralChordFinder, T::Exact, "Chord Atlas - Chords for every instrument", "ChordAtlas")
         << row(GeneralChordLearner, T::Exact, "Chord Tutor - Learn chords step by step", "ChordTutor")
         << row(TunerCollection, T::Exact, "Tuner Chest - A tuner for every instrument", "TunerChest")
         << row(GeneralNoteFinder, T::Exact, "Note Compass - Find every note on any instrument",
                "NoteCompass", "notecompassfull", {QString(GeneralNoteFinder) + "base"})
         << row("tempotick", T::Exact, "Tempo Tick - A metronome that keeps time", "TempoTick",
                "tempotickmetronome");

    // Per-instrument chord finders: not offered in the general chord finder.
    for (const QString &instrument : chordFinderInstruments())
        rows << row(instrument + ChordFinderPart, T::Exact,
                    capitalized(instrument) + QStringLiteral(" Chord Atlas - Every chord at a glance"),
                    capitalized(instrument) + QStringLiteral("ChordAtlas"), QString(),
                    {GeneralChordFinder});

    // Per-instrument note finders: not offered in the general note finder.
    for (const QString &instrument : noteFinderInstruments())
        rows << row(instrument + NoteFinderPart, T::Exact,
                    capitalized(instrument) + QStringLiteral(" Note Compass - Find notes && scales"),
                    capitalized(instrument) + QStringLiteral("NoteCompass"), QString(),
                    {GeneralNoteFinder, QString(GeneralNoteFinder) + "base"});

    // Per-instrument chord learners: any name ending in the id counts.
    for (const QString &instrument : chordLearnerInstruments())
        rows << row(instrument + ChordLearnerPart, T::Suffix,
                    capitalized(instrument) + QStringLiteral(" Chord Tutor - Learn chords by playing"),
                    capitalized(instrument) + QStringLiteral("ChordTutor"), QString(),
                    {GeneralChordLearner});

    // Per-instrument tuners: any name containing the id counts; the site knows
    // them under a numbered name.
    for (const QString &instrument : tunerInstruments())
        rows << row(instrument + TunerPart, T::Substring,
                    capitalized(instrument) + QStringLiteral(" Tune Up - Tune by ear or by microphone"),
                    capitalized(instrument) + QStringLiteral("TuneUp"),
                    QStringLiteral("120") + instrument + TunerPart);

    // Desktop tool.
    rows << row(DesktopTool, T::Exact, "Alarm Owl - An alarm clock for your desktop", "AlarmOwl");

    Q_ASSERT(rows.size() == 42);
    return rows;
}

// The instruments whose chord finders and chord learners an instrument's
// family list offers besides its own.
QStringList relatedInstruments(const QString &instrument)
{
    if (instrument == QLatin1String("guitar"))
        return {"ukulele", "bass", "banjo", "mandolin", "piano"};
    if (instrument == QLatin1String("bass"))
        return {"guitar", "ukulele"};
    if (instrument == QLatin1String("ukulele"))
        return {"guitar", "banjo", "mandolin"};
    if (instrument == QLatin1String("banjo"))
        return {"guitar", "mandolin", "ukulele"};
    if (instrument == QLatin1String("mandolin"))
        return {"guitar", "banjo", "ukulele"};
    if (instrument == QLatin1String("balalaika"))
        return {"guitar", "mandolin", "banjo"};
    if (instrument == QLatin1String("piano"))
        return {"guitar", "ukulele"};
    if (instrument == QLatin1String("violin"))
        return {"guitar", "piano", "mandolin"};
    return {};
}

QStringList generalMusicIds(bool withNoteFinder)
{
    QStringList ids{GeneralChordFinder, GeneralChordLearner, TunerCollection};
    if (withNoteFinder)
        ids << GeneralNoteFinder;
    return ids;
}

// The five image tools of the "graphics" list.
QStringList imageToolIds()
{
    return {"glyphcraft", "iconkiln", "notepin", "lumenpatch", "framefold"};
}

// The four image and screen tools that complete the "graphics" list.
QStringList otherImageAndScreenIds()
{
    return {"pixelferry", "snipharbor", "rulerbee", "tintwell"};
}

QStringList photoToolIds()
{
    return {"pixelferry", "lumenpatch", "framefold"};
}

} // namespace

bool PromoTable::Row::matches(const QString &requestedId) const
{
    switch (match) {
    case Exact:
        return requestedId == id;
    case Suffix:
        return requestedId.endsWith(id);
    case Substring:
        return requestedId.contains(id);
    }
    return false;
}

bool PromoTable::Row::isExcludedFor(const QString &runningName) const
{
    if (excludedBy.contains(runningName))
        return true;
    switch (match) {
    case Exact:
        return runningName == id;
    case Suffix:
        return runningName.endsWith(id);
    case Substring:
        return runningName.contains(id);
    }
    return false;
}

const QVector<PromoTable::Row> &PromoTable::rows()
{
    static const QVector<Row> table = buildRows();
    return table;
}

QString PromoTable::runningName(const QString &applicationName)
{
    QString name = applicationName.toLower();
    name.remove(QStringLiteral("lite"));
    name.remove(QLatin1Char(' '));
    return name;
}

const PromoTable::Row *PromoTable::find(const QString &requestedId, const QString &runningName)
{
    for (const Row &r : rows()) {
        if (r.matches(requestedId) && !r.isExcludedFor(runningName))
            return &r;
    }
    return nullptr;
}

QStringList PromoTable::instruments()
{
    return {"balalaika", "banjo", "bass", "guitar", "mandolin", "piano", "ukulele", "violin"};
}

QStringList PromoTable::familyIds(const QString &instrument)
{
    if (!instruments().contains(instrument))
        return {};

    QStringList ids;
    if (tunerInstruments().contains(instrument))
        ids << instrument + TunerPart;
    if (chordLearnerInstruments().contains(instrument))
        ids << instrument + ChordLearnerPart;
    if (chordFinderInstruments().contains(instrument))
        ids << instrument + ChordFinderPart;
    if (noteFinderInstruments().contains(instrument))
        ids << instrument + NoteFinderPart;
    ids << Separator << generalMusicIds(true) << Separator;

    const QStringList related = relatedInstruments(instrument);
    for (const QString &other : related) {
        if (chordFinderInstruments().contains(other))
            ids << other + ChordFinderPart;
    }
    for (const QString &other : related) {
        if (chordLearnerInstruments().contains(other))
            ids << other + ChordLearnerPart;
    }
    ids << Separator;
    return ids;
}

QStringList PromoTable::otherIds()
{
    QStringList ids;
    ids << "echoquill" << "wavesmith" << "loopmeadow" << Separator;
    ids << imageToolIds() << Separator;
    ids << "snipharbor" << "rulerbee" << DesktopTool << Separator;
    return ids;
}

QStringList PromoTable::audioIds()
{
    return {"echoquill", "wavesmith", PlayerProductId, "loopmeadow"};
}

QStringList PromoTable::categoryIds(const QString &category, const QString &applicationName)
{
    QStringList ids;
    if (category == QLatin1String("graphics")) {
        ids << imageToolIds() << Separator << otherImageAndScreenIds() << Separator;
        ids << audioIds() << Separator;
        ids << generalMusicIds(false) << DesktopTool << Separator;
    } else if (category == QLatin1String("photo")) {
        if (!applicationName.toLower().contains(QLatin1String(BatchPhotoProcessor)))
            ids << photoToolIds() << Separator;
        ids << "glyphcraft" << "snipharbor" << "rulerbee" << "tintwell" << "iconkiln" << "notepin"
            << Separator;
        ids << audioIds() << Separator;
        ids << generalMusicIds(true) << DesktopTool << Separator;
    } else if (category == QLatin1String("developer")) {
        ids << "scriptsieve" << "glyphcraft" << "iconkiln" << "tintwell" << Separator;
        ids << photoToolIds() << Separator;
        ids << audioIds() << Separator;
        ids << generalMusicIds(true) << DesktopTool << Separator;
    } else if (category == QLatin1String("audio")) {
        QStringList audio = audioIds();
        if (applicationName.contains(QLatin1String(PlayerProduct)))
            audio.removeAll(QLatin1String(PlayerProductId));
        ids << audio << Separator;
        ids << imageToolIds() << Separator;
        ids << generalMusicIds(false) << DesktopTool << Separator;
        ids << otherImageAndScreenIds() << Separator;
    } else if (category == QLatin1String("music")) {
        ids << generalMusicIds(true) << "tempotick" << Separator;
        ids << QStringLiteral("guitar") + ChordFinderPart << QStringLiteral("ukulele") + ChordFinderPart
            << QStringLiteral("guitar") + ChordLearnerPart << QStringLiteral("ukulele") + ChordLearnerPart
            << Separator;
        ids << otherIds();
    }
    return ids;
}

QString PromoTable::batchPhotoProcessorId()
{
    return QLatin1String(BatchPhotoProcessor);
}

QString PromoTable::playerProductName()
{
    return QLatin1String(PlayerProduct);
}

QString PromoTable::platformName()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("Windows");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("macOS");
#else
    return QStringLiteral("Linux");
#endif
}

} // namespace QMWidgets
