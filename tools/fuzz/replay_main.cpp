// Replays every file of the corpus directories given on the command line (or of
// FUZZ_CORPUS_DIR) through a fuzz target, so the normal build checks the seeds.
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char *argv[])
{
    QStringList dirs;
    for (int i = 1; i < argc; ++i)
        dirs << QString::fromLocal8Bit(argv[i]);
#ifdef FUZZ_CORPUS_DIR
    if (dirs.isEmpty())
        dirs << QStringLiteral(FUZZ_CORPUS_DIR);
#endif
    int replayed = 0;
    for (const QString &dir : dirs) {
        const QStringList files = QDir(dir).entryList(QDir::Files, QDir::Name);
        for (const QString &name : files) {
            QFile f(QDir(dir).filePath(name));
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(f.fileName()));
                return 1;
            }
            const QByteArray bytes = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                   size_t(bytes.size()));
            ++replayed;
        }
    }
    std::printf("replayed %d inputs\n", replayed);
    return replayed > 0 ? 0 : 1;
}
