#pragma once
// Print services for TxyGraph::Print: each starts a job, hands out the canvas of its one page
// (size in device pixels, resolution from the device's logical dpi) and ends the job.

#include <QImage>
#include <QString>

#include <memory>

class QPaintDevice;
class QPrinter;

class TPrintService {
public:
    virtual ~TPrintService() = default;
    // Starts a job and returns its page, or nullptr when no job could be started.
    virtual QPaintDevice* BeginJob(const QString& jobName) = 0;
    // Ends the job after its page was drawn and the page's painter closed.
    virtual void EndJob() = 0;
    // Gives up the job after a failed drawing; the page's painter is still open.
    virtual void AbortJob() = 0;
};

// The platform's default printer at 1200 dpi; when no printer is installed (or when asked to),
// the page goes to a PDF file instead.
class TPrinterService : public TPrintService {
public:
    enum class Target { DefaultPrinter, PdfFile };

    explicit TPrinterService(QString pdfFileWhenNoPrinter, Target target = Target::DefaultPrinter);
    ~TPrinterService() override;

    QPaintDevice* BeginJob(const QString& jobName) override;
    void EndJob() override;
    void AbortJob() override;

    static bool HasDefaultPrinter();
    // After BeginJob: whether the page goes to the PDF file.
    bool PrintsToPdf() const { return m_toPdf; }
    const QString& PdfFile() const { return m_pdfFile; }

private:
    QString m_pdfFile;
    Target m_target;
    bool m_toPdf = false;
    std::unique_ptr<QPrinter> m_printer;
};

// A page held in memory, for previews and tests.
class TImagePrintService : public TPrintService {
public:
    TImagePrintService(QSize pageSize, int dotsPerInch, QColor paper = Qt::white);

    QPaintDevice* BeginJob(const QString& jobName) override;
    void EndJob() override { ++m_jobsEnded; }
    void AbortJob() override { ++m_jobsAborted; }

    const QImage& Page() const { return m_page; }
    int JobsStarted() const { return m_jobsStarted; }
    int JobsEnded() const { return m_jobsEnded; }
    int JobsAborted() const { return m_jobsAborted; }
    const QString& LastJobName() const { return m_jobName; }

private:
    QImage m_page;
    QColor m_paper;
    QString m_jobName;
    int m_jobsStarted = 0;
    int m_jobsEnded = 0;
    int m_jobsAborted = 0;
};
