#include "gui/charts/TopChart.h"

#include "render/ChartColours.h"
#include "render/OccupancyChart.h"
#include "render/QtText.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QHorizontalStackedBarSeries>
#include <QLocale>
#include <QValueAxis>
#include <algorithm>
#include <map>

namespace presenze {
namespace {

// "Gennaio 2024", "Gennaio 2024 – Marzo 2024".
QString periodOf(const ReportFigures& figures)
{
    const auto& months = figures.months();
    if (months.empty())
        return {};
    const QString first = monthTitle(months.front().first);
    if (months.size() == 1)
        return first;
    return first + QStringLiteral(" \u2013 ") + monthTitle(months.back().first);
}

bool allByArrivals(const ReportFigures& figures)
{
    const auto& months = figures.months();
    return !months.empty() && std::all_of(months.begin(), months.end(),
                                          [](const MonthFigures& m) { return m.arrivals; });
}

} // namespace

std::vector<TopEntry> topEntries(const ReportFigures& figures, std::size_t count)
{
    // By company name, or by hotel in summary mode.
    std::map<std::string, TopEntry> sums;
    for (const MonthFigures& month : figures.months()) {
        for (const CompanyFigures& c : month.companies) {
            const std::string key =
                figures.summary() ? figures.hotelLabel(c.hotel) + '\n' + std::to_string(c.hotel)
                                  : figures.name(c.name);
            TopEntry& entry = sums[key];
            if (entry.name.isEmpty())
                entry.name = fromCp1252(figures.summary() ? figures.hotelLabel(c.hotel)
                                                          : figures.name(c.name));
            for (const FigureDay* d = month.begin(c); d != month.end(c); ++d) {
                if (!month.inMonth(d->day))
                    continue;
                entry.confirmed += d->figures.presCon;
                entry.optional += d->figures.presOpz;
            }
        }
    }
    std::vector<TopEntry> entries;
    for (auto& [key, entry] : sums)
        if (entry.confirmed + entry.optional > 0)
            entries.push_back(std::move(entry));
    std::stable_sort(entries.begin(), entries.end(), [](const TopEntry& a, const TopEntry& b) {
        return a.confirmed + a.optional > b.confirmed + b.optional;
    });
    if (entries.size() > count)
        entries.resize(count);
    return entries;
}

std::unique_ptr<QChart> makeTopChart(const ReportFigures& figures)
{
    const std::vector<TopEntry> entries = topEntries(figures);
    const bool arrivals = allByArrivals(figures);
    const QString counted = arrivals ? QStringLiteral("arrivi") : QStringLiteral("presenze");

    auto chart = std::make_unique<QChart>();
    chart->setTitle((figures.summary() ? QStringLiteral("Gli hotel per %1").arg(counted)
                                       : QStringLiteral("Le %1 ditte con pi\u00F9 %2")
                                             .arg(static_cast<int>(entries.size()))
                                             .arg(counted)) +
                    QStringLiteral(" \u2013 ") + periodOf(figures));
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundBrush(Qt::white);
    // "10.000" on the axis, whatever the system's language ("%d" would
    // come out empty once localized).
    chart->setLocale(QLocale(QLocale::Italian));
    chart->setLocalizeNumbers(true);

    auto* confirmed = new QBarSet(QStringLiteral("Confermate"));
    auto* optional = new QBarSet(QStringLiteral("Opzionate"));
    confirmed->setColor(chart::kConfirmed);
    confirmed->setBorderColor(chart::kConfirmed);
    optional->setColor(chart::kOptional);
    optional->setBorderColor(chart::kConfirmed);
    QStringList names;
    // Bars are laid out from the bottom: the largest goes last.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        QString name = it->name.trimmed();
        if (name.isEmpty())
            name = QStringLiteral("(senza nome)");
        if (name.size() > 32)
            name = name.left(31) + QStringLiteral("\u2026");
        // Categories must differ: two names cut alike stay apart.
        while (names.contains(name))
            name += QLatin1Char(' ');
        names << name;
        *confirmed << static_cast<qreal>(it->confirmed);
        *optional << static_cast<qreal>(it->optional);
    }
    auto* series = new QHorizontalStackedBarSeries;
    series->append(confirmed);
    series->append(optional);
    series->setBarWidth(0.7);
    chart->addSeries(series);

    auto* categories = new QBarCategoryAxis;
    categories->append(names);
    // The names are already at most 32 characters: shown whole, never cut
    // to "..." by a first layout at a small size.
    categories->setTruncateLabels(false);
    chart->addAxis(categories, Qt::AlignLeft);
    series->attachAxis(categories);
    auto* values = new QValueAxis;
    values->setTitleText(arrivals ? QStringLiteral("Arrivi") : QStringLiteral("Presenze"));
    values->setLabelFormat(QStringLiteral("%.0f"));
    std::int64_t largest = 1;
    for (const TopEntry& e : entries)
        largest = std::max(largest, e.confirmed + e.optional);
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
    values->setRange(0, static_cast<qreal>(largest));
    values->applyNiceNumbers();
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

} // namespace presenze
