#include "PrintService.h"

#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace {
constexpr int kPrinterDpi = 1200;
}

TPrinterService::TPrinterService(QString pdfFileWhenNoPrinter, Target target)
    : m_pdfFile(std::move(pdfFileWhenNoPrinter)), m_target(target) {}

TPrinterService::~TPrinterService() = default;

bool TPrinterService::HasDefaultPrinter() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

QPaintDevice* TPrinterService::BeginJob(const QString& jobName) {
    const QPrinterInfo info =
        m_target == Target::DefaultPrinter ? QPrinterInfo::defaultPrinter() : QPrinterInfo();
    m_toPdf = info.isNull();
    if (m_toPdf) {
        if (m_pdfFile.isEmpty()) return nullptr;
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(m_pdfFile);
        m_printer->setPageSize(QPageSize(QPageSize::A4));
    } else {
        m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    m_printer->setResolution(kPrinterDpi);
    m_printer->setDocName(jobName);
    return m_printer.get();
}

void TPrinterService::EndJob() {
    // Closing the page's painter already sent the job; the printer object goes with it.
    m_printer.reset();
}

void TPrinterService::AbortJob() {
    if (m_printer) m_printer->abort();
}

TImagePrintService::TImagePrintService(QSize pageSize, int dotsPerInch, QColor paper)
    : m_page(pageSize, QImage::Format_RGB32), m_paper(paper) {
    const int dpm = static_cast<int>(std::lround(dotsPerInch / 0.0254));
    m_page.setDotsPerMeterX(dpm);
    m_page.setDotsPerMeterY(dpm);
    m_page.fill(m_paper);
}

QPaintDevice* TImagePrintService::BeginJob(const QString& jobName) {
    ++m_jobsStarted;
    m_jobName = jobName;
    m_page.fill(m_paper);
    return &m_page;
}
