class HostileFailure < StandardError
  def message = "custom failure"
end
puts "before"
raise HostileFailure
