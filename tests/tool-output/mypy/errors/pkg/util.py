def scale(factor: int, value: int) -> int:
	result: str = factor * value
	return result
