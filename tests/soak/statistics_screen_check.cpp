#include "tests/soak/statistics_screen_check.h"

#include "app/screens/statistics/charts_view_controller.h"
#include "tests/soak/life_report.h"

namespace quorvel::soak {

namespace {

constexpr double kSince1970 = 978307200;

std::vector<std::pair<double, double>> valuesOf(const platform::ChartViewBase* chart) {
    std::vector<std::pair<double, double>> values;
    const auto data = chart ? chart->data() : nullptr;
    if (!data || data->dataSets().empty()) return values;
    for (const auto& entry : data->dataSets().front()->entries()) values.emplace_back(entry.x(), entry.y());
    return values;
}

std::string dayText(double since1970) {
    return "the day at " + exactNumber(since1970 - kSince1970);
}

std::optional<std::string> compareChart(const std::string& name,
                                        const std::vector<std::pair<double, double>>& shown,
                                        const std::vector<std::pair<double, double>>& expected) {
    if (shown.size() != expected.size()) {
        return "the " + name + " shows " + std::to_string(shown.size()) + " days, not " +
               std::to_string(expected.size());
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i].first != expected[i].first) {
            return "the " + name + " shows " + dayText(shown[i].first) + " where " +
                   dayText(expected[i].first) + " belongs";
        }
        if (shown[i].second != expected[i].second) {
            return "the " + name + " shows " + exactNumber(shown[i].second) + " session(s) on " +
                   dayText(shown[i].first) + ", the store holds " + exactNumber(expected[i].second);
        }
    }
    return std::nullopt;
}

std::optional<std::string> compareText(const std::string& what, const std::string& shown,
                                       const std::string& expected) {
    if (shown == expected) return std::nullopt;
    return what + " reads \"" + shown + "\", the store gives \"" + expected + "\"";
}

std::string titleOf(const std::shared_ptr<platform::UIButton>& button) {
    return button ? button->titleForState(platform::UIControlStateNormal).value_or("") : "";
}

}  // namespace

std::optional<std::string> StatisticsScreenCheck::problem(
    const ChartsViewController& screen, const std::vector<StatisticsFigures::Session>& stored, double now) {
    const auto line = valuesOf(screen.lineChartView().get());
    if (line.empty()) return "the line chart shows no days";
    const double today = line.back().first - kSince1970;
    if (StatisticsFigures::dayStart(today) != today || today > StatisticsFigures::dayStart(now)) {
        return "the line chart ends with " + dayText(line.back().first) +
               ", which is no midnight up to today";
    }
    const StatisticsFigures figures(stored, today);
    if (auto problem = compareChart("line chart", line, figures.chartValues(30))) return problem;
    if (auto problem =
            compareChart("bar chart", valuesOf(screen.barChartView().get()), figures.chartValues(14)))
        return problem;
    const auto label = [](const std::shared_ptr<platform::UILabel>& shown) {
        return shown ? shown->text() : std::string();
    };
    if (auto problem =
            compareText("the 14-day average", label(screen.avg7DaysLabel()), figures.averageText(14)))
        return problem;
    if (auto problem =
            compareText("the 30-day average", label(screen.avg30DaysLabel()), figures.averageText(30)))
        return problem;
    for (const auto& [box, days] :
         {std::pair{screen.stat14DaysView(), 14}, std::pair{screen.stat30DaysView(), 30}}) {
        if (!box) continue;
        const std::string name = "the " + std::to_string(days) + "-day box's ";
        if (auto problem =
                compareText(name + "total", titleOf(box->pomodorosButton()), figures.boxTotal(days)))
            return problem;
        if (auto problem =
                compareText(name + "comparison", titleOf(box->sessionsButton()), figures.boxComparison(days)))
            return problem;
    }
    return std::nullopt;
}

}  // namespace quorvel::soak
