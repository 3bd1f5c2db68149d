// The steps and constants of a kept expression form.
#include "ExprForm.h"

#include <algorithm>

namespace Transl {

namespace {

bool isNumberScalar(const CommonVar& value)
{
    return value.type() == TypeCode::Number && value.count() == 1 && value.isInitialised();
}

} // namespace

const ExprStep& ExprForm::add(ExprStep step)
{
    switch (step.kind) {
    case StepKind::Constant:
        numeric_ = numeric_ && isNumberScalar(*step.constant);
        ++depth_;
        break;
    case StepKind::Variable:
        ++depth_;
        break;
    case StepKind::Binary:
        --depth_;
        break;
    case StepKind::Negate:
        break;
    default:
        numeric_ = false;
    }
    maxDepth_ = std::max(maxDepth_, depth_);
    steps_.push_back(std::move(step));
    return steps_.back();
}

bool ExprForm::numbersOnly() const
{
    return numeric_ && maxDepth_ <= kNumberStackDepth && !steps_.empty() &&
           (steps_.back().kind == StepKind::Binary || steps_.back().kind == StepKind::Negate);
}

const CommonVar& ExprForm::keepConstant(CommonVar value)
{
    constants_.push_back(std::move(value));
    return constants_.back();
}

void ExprForm::relyOnShape(const CommonVar& variable)
{
    shapes_.push_back(Shape{&variable, isArrayType(variable.type())});
}

bool ExprForm::stillFits() const
{
    return std::all_of(shapes_.begin(), shapes_.end(), [](const Shape& shape) {
        return isArrayType(shape.variable->type()) == shape.array;
    });
}

} // namespace Transl
