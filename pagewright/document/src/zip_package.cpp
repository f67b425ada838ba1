#include "zip_package.h"

#include <zip.h>

#include <memory>

namespace {

QString ErrorText(zip_error_t* error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

struct SourceCloser {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};

} // namespace

QByteArray ZipPackage(const std::vector<ZipPart>& parts, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error != nullptr)
            *error = text;
        return QByteArray();
    };
    zip_error_t zerr;
    zip_error_init(&zerr);
    std::unique_ptr<zip_source_t, SourceCloser> buffer(zip_source_buffer_create(nullptr, 0, 0, &zerr));
    if (!buffer) {
        const QString text = ErrorText(&zerr);
        zip_error_fini(&zerr);
        return fail(text);
    }
    zip_t* archive = zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &zerr);
    if (archive == nullptr) {
        const QString text = ErrorText(&zerr);
        zip_error_fini(&zerr);
        return fail(text);
    }
    zip_error_fini(&zerr);
    // The buffer source outlives the archive: its bytes are the result.
    zip_source_keep(buffer.get());
    for (const ZipPart& part : parts) {
        zip_source_t* source = zip_source_buffer(archive, part.bytes.constData(), zip_uint64_t(part.bytes.size()), 0);
        if (source == nullptr) {
            const QString text = QString::fromUtf8(zip_strerror(archive));
            zip_discard(archive);
            return fail(text);
        }
        const QByteArray name = part.name.toUtf8();
        const zip_int64_t index = zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            const QString text = QString::fromUtf8(zip_strerror(archive));
            zip_source_free(source);
            zip_discard(archive);
            return fail(text);
        }
        zip_set_file_compression(archive, zip_uint64_t(index), part.compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
                                 part.compress ? 6 : 0);
    }
    if (zip_close(archive) != 0) {
        const QString text = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        return fail(text);
    }
    zip_source_t* source = buffer.get();
    if (zip_source_open(source) != 0)
        return fail(QStringLiteral("cannot read the package"));
    QByteArray out;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(source, &st) == 0 && (st.valid & ZIP_STAT_SIZE) != 0) {
        out.resize(qsizetype(st.size));
        zip_int64_t got = 0;
        while (got < zip_int64_t(st.size)) {
            const zip_int64_t n = zip_source_read(source, out.data() + got, st.size - zip_uint64_t(got));
            if (n <= 0)
                break;
            got += n;
        }
        out.resize(qsizetype(got));
        if (got != zip_int64_t(st.size))
            out.clear();
    }
    zip_source_close(source);
    if (out.isEmpty())
        return fail(QStringLiteral("cannot read the package"));
    return out;
}
