#include "link/switchroom.h"

#include "link/goingback.h"
#include "link/portfinder.h"
#include "link/portwatch.h"
#include "link/serialportsetup.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

QString openName(const PortDescription &port)
{
    return port.systemLocation.isEmpty() ? port.portName : port.systemLocation;
}

// A port named in the journal is offered while its device exists. Windows names its
// ports; they are listed or not there at all.
bool portExists(const QString &name)
{
#ifdef Q_OS_WIN
    Q_UNUSED(name)
    return false;
#else
    const QString path = resolvedPortName(name);
    return path.startsWith(QLatin1Char('/')) && QFileInfo::exists(path);
#endif
}

} // namespace

SwitchRoom::SwitchRoom(QObject *parent)
    : QObject(parent)
    , m_finder(new PortFinder(this))
    , m_watch(new PortWatch(m_ports, this))
{
    connect(m_finder, &PortFinder::portDone, this, [this](int index) {
        const QString path = m_probed.value(index);
        for (int i = 0; i < size(); ++i) {
            Row &r = *m_rows.at(size_t(i));
            if (r.path != path)
                continue;
            r.probing = false;
            r.probe = m_finder->result(index);
            emit rowChanged(i);
        }
    });
    connect(m_watch, &PortWatch::portsChanged, this, &SwitchRoom::portsChanged);
}

SwitchRoom::~SwitchRoom()
{
    stop();
    cancel();
}

void SwitchRoom::setExtraPorts(const QStringList &paths)
{
    m_ports.setExtraPorts(paths);
}

void SwitchRoom::start()
{
    refresh();
    QList<int> all;
    for (int i = 0; i < size(); ++i)
        all << i;
    probe(all);
    m_watch->start();
}

void SwitchRoom::stop()
{
    m_watch->stop();
    m_finder->stop();
    for (int i = 0; i < size(); ++i) {
        if (std::exchange(m_rows.at(size_t(i))->probing, false))
            emit rowChanged(i);
    }
}

bool SwitchRoom::isStarted() const
{
    return m_watch->isActive();
}

// The rows anew: the listed ports and those given on the command line, then the journal's
// that exist now. A row keeps what it knows; a row whose job still runs stays.
void SwitchRoom::refresh()
{
    m_ports.refresh();
    std::vector<std::unique_ptr<Row>> old;
    old.swap(m_rows);
    QSet<QString> seen;
    const auto take = [&](const QString &name, const QString &path, const QString &description,
                          bool commandLine) {
        const QString key = resolvedPortName(path);
        if (seen.contains(key))
            return;
        seen.insert(key);
        auto it = std::find_if(old.begin(), old.end(),
                               [&](const auto &r) { return r && r->path == path; });
        if (it != old.end()) {
            m_rows.push_back(std::move(*it));
        } else {
            m_rows.push_back(std::make_unique<Row>());
            m_rows.back()->path = path;
        }
        Row &r = *m_rows.back();
        r.name = name;
        r.description = description;
        r.commandLine = commandLine;
    };
    for (const PortDescription &port : m_ports.ports())
        take(port.portName, openName(port), port.description, port.commandLine);
    const QList<JournalEntry> journal = Journal().read().entries;
    for (const QString &port : portsInJournal(journal))
        take(port, port, QString(), false);
    for (auto &r : old) {
        if (r && r->job && !r->job->isFinished())
            m_rows.push_back(std::move(r));
    }
    readJournal(journal);
    emit rowsReset();
}

void SwitchRoom::portsChanged()
{
    QSet<QString> before;
    for (const auto &r : m_rows)
        before.insert(r->path);
    refresh();
    QList<int> appeared;
    for (int i = 0; i < size(); ++i) {
        if (!before.contains(row(i).path))
            appeared << i;
    }
    probe(appeared);
}

void SwitchRoom::probe(const QList<int> &rows)
{
    QStringList paths;
    for (int i : rows) {
        Row &r = *m_rows.at(size_t(i));
        r.probing = true;
        paths << r.path;
        emit rowChanged(i);
    }
    if (paths.isEmpty())
        return;
    if (!m_finder->isRunning())
        m_probed.clear();
    m_probed << paths;
    if (m_finder->isRunning())
        m_finder->add(paths, probeBitrates());
    else
        m_finder->start(paths, probeBitrates());
}

void SwitchRoom::readJournal(const QList<JournalEntry> &entries)
{
    for (const auto &r : m_rows)
        r->last = lastExchangeOf(entries, r->path);
}

QList<int> SwitchRoom::targets(QList<int> rows) const
{
    if (rows.isEmpty()) {
        for (int i = 0; i < size(); ++i)
            rows << i;
    }
    // A port where nothing answered, or that could not be opened, gets nothing.
    QList<int> out;
    for (int i : rows) {
        const Row &r = row(i);
        if (!r.probe || r.probe->outcome == ProbeResult::Outcome::Found)
            out << i;
    }
    return out;
}

QList<int> SwitchRoom::bitratesFor(const Row &r, int channels) const
{
    if (r.probe && r.probe->outcome == ProbeResult::Outcome::Found)
        return {r.probe->bitrate};
    // Switches with more than four channels always talk at 115200 bit/s.
    return channels > 4 ? QList<int>{115200} : probeBitrates();
}

SwitchJob::Plan SwitchRoom::readPlan(const Row &r, const QString &journalAction) const
{
    SwitchJob::Plan plan;
    plan.port = r.path;
    plan.bitrates = bitratesFor(r);
    plan.source = QStringLiteral("window");
    plan.action = journalAction;
    return plan;
}

void SwitchRoom::run(Action action, int index, const SwitchJob::Plan &plan)
{
    Row &r = *m_rows.at(size_t(index));
    r.action = action;
    r.job = std::make_unique<SwitchJob>(plan);
    SwitchJob *job = r.job.get();
    ++m_running;
    connect(job, &SwitchJob::progressChanged, this, [this, job] {
        const int i = rowOf(job);
        if (i >= 0)
            emit rowChanged(i);
    });
    connect(job, &SwitchJob::finished, this, [this, job] { jobFinished(rowOf(job)); });
    job->start();
    emit rowChanged(index);
}

int SwitchRoom::rowOf(const SwitchJob *job) const
{
    for (int i = 0; i < size(); ++i) {
        if (row(i).job.get() == job)
            return i;
    }
    return -1;
}

bool SwitchRoom::check(QList<int> rows)
{
    if (busy())
        return false;
    m_action = Action::Check;
    for (int i : targets(rows))
        run(Action::Check, i, readPlan(row(i), QStringLiteral("read")));
    if (m_running == 0)
        jobFinished(-1);
    return true;
}

bool SwitchRoom::backUp(QList<int> rows, const QString &folder)
{
    if (busy())
        return false;
    m_action = Action::BackUp;
    for (int i : targets(rows)) {
        SwitchJob::Plan plan = readPlan(row(i), QStringLiteral("backup"));
        plan.saveTo = QDir(folder).filePath(backupFileName(row(i).name));
        run(Action::BackUp, i, plan);
    }
    if (m_running == 0)
        jobFinished(-1);
    return true;
}

bool SwitchRoom::send(QList<int> rows, const Configuration &config, const QString &file)
{
    if (busy())
        return false;
    m_action = Action::Send;
    m_sentChannels = config.channelCount;
    for (int i = 0; i < size(); ++i)
        m_rows.at(size_t(i))->back.reset();
    for (int i : targets(rows)) {
        Row &r = *m_rows.at(size_t(i));
        // Only where the channel count fits; the others are told why they got nothing.
        if (r.probe && r.probe->channels != config.channelCount) {
            r.action = Action::Send;
            r.job.reset();
            emit rowChanged(i);
            continue;
        }
        SwitchJob::Plan plan;
        plan.port = r.path;
        plan.bitrates = bitratesFor(r, config.channelCount);
        plan.kind = SwitchJob::Kind::Transmit;
        plan.source = QStringLiteral("window");
        plan.action = QStringLiteral("write");
        plan.send = config;
        plan.sendFrom = file;
        plan.restorePoints = &m_restorePoints;
        run(Action::Send, i, plan);
    }
    if (m_running == 0)
        jobFinished(-1);
    return true;
}

bool SwitchRoom::open(int index)
{
    if (busy() || index < 0 || index >= size())
        return false;
    m_action = Action::Open;
    run(Action::Open, index, readPlan(row(index), QStringLiteral("read")));
    return true;
}

bool SwitchRoom::goBack(QList<int> rows)
{
    if (busy())
        return false;
    m_action = Action::GoBack;
    for (int i : rows) {
        Row &r = *m_rows.at(size_t(i));
        if (!r.back)
            continue;
        const WayBack back = *r.back;
        SwitchJob::Plan plan;
        plan.port = r.path;
        plan.bitrates = {r.job ? r.job->bitrate() : 115200};
        plan.kind = SwitchJob::Kind::Transmit;
        plan.source = QStringLiteral("window");
        plan.action = QStringLiteral("go-back");
        plan.send = back.previous;
        plan.sendFrom = back.restorePoint;
        // A switch it wrote must still hold what was sent; one that failed part-way is
        // expected to be mixed and only has to be of the restore point's kind.
        plan.check = back.written ? holdsWhatWasSent(r.name, back.sent, back.previous, back.sentAt)
                                  : hasChannelCountOf(r.name, back.previous);
        r.back.reset();
        run(Action::GoBack, i, plan);
    }
    if (m_running == 0)
        jobFinished(-1);
    return true;
}

void SwitchRoom::cancel()
{
    for (const auto &r : m_rows) {
        if (r->job && !r->job->isFinished())
            r->job->cancel();
    }
}

void SwitchRoom::jobFinished(int index)
{
    if (index >= 0) {
        --m_running;
        Row &r = *m_rows.at(size_t(index));
        const SwitchJob &job = *r.job;
        if (job.plan().kind == SwitchJob::Kind::Read && job.outcome() != SwitchJob::Outcome::Failed
            && job.outcome() != SwitchJob::Outcome::Cancelled) {
            r.state = compareWithKnown(job.knownBefore(), job.read());
        }
        if (r.action == Action::Send && !job.restorePoint().isEmpty() && job.previous()
            && (job.succeeded() || job.wroteAnything())) {
            r.back = WayBack{job.restorePoint(), *job.previous(), job.plan().send,
                             QTime::currentTime(), job.succeeded()};
        }
        if (r.action == Action::Open && job.succeeded())
            m_opened = job.read();
        emit rowChanged(index);
    }
    if (m_running > 0)
        return;
    const Action done = std::exchange(m_action, Action::None);
    readJournal(Journal().read().entries);
    for (int i = 0; i < size(); ++i)
        emit rowChanged(i);
    emit finished(done);
}

QList<int> SwitchRoom::written() const
{
    QList<int> rows;
    for (int i = 0; i < size(); ++i) {
        if (row(i).back && row(i).back->written)
            rows << i;
    }
    return rows;
}

QList<int> SwitchRoom::partlyWritten() const
{
    QList<int> rows;
    for (int i = 0; i < size(); ++i) {
        if (row(i).back && !row(i).back->written)
            rows << i;
    }
    return rows;
}

QStringList portsInJournal(const QList<JournalEntry> &entries)
{
    QStringList ports;
    QSet<QString> seen;
    for (const JournalEntry &e : entries) {
        const QString key = resolvedPortName(e.port);
        if (seen.contains(key) || !portExists(e.port))
            continue;
        seen.insert(key);
        ports << e.port;
    }
    return ports;
}

std::optional<JournalEntry> lastExchangeOf(const QList<JournalEntry> &entries, const QString &port)
{
    const QString key = resolvedPortName(port);
    for (qsizetype k = entries.size() - 1; k >= 0; --k) {
        if (resolvedPortName(entries.at(k).port) == key)
            return entries.at(k);
    }
    return std::nullopt;
}
