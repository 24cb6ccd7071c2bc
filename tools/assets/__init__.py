"""Helpers of the asset generator (tools/make_assets.py)."""
